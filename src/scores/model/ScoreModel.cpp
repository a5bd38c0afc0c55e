#include "ScoreModel.h"

#include "classes/model/ClassTable.h"

#include "shell/core/Units.h"

#include <QCryptographicHash>
#include <QHash>
#include <cmath>
#include <vector>

namespace scores {

namespace {

using classtable::kContent;
using classtable::kFree;
using classtable::kName;
using classtable::kNumber;
const QString kNoEntry = QStringLiteral("---");

// The status panels with no class shown: ready, no current student, no count.
QStringList readyPanels() {
    return {QStringLiteral("系统已经就绪!"), QStringLiteral("当前第    位学生"),
            QStringLiteral("共有  位学生")};
}

store::Currency currencyAt(const store::Recordset& rs, int index) {
    return rs.currency(index).value_or(store::Currency());
}

// A text field's value ("" for null), without the store's general formatting.
QString stringAt(const store::Recordset& rs, int index) {
    return rs.Fields(index).toString();
}

// Cells written with the width each column needs, so that the columns can
// be widened to their widest text (headings included) without a second
// walk over a grid of many thousand rows.
class ColumnFit {
public:
    explicit ColumnFit(shell::Grid& g) : g_(g), need_(size_t(g.cols()), 0) {
        for (int c = 0; c < g.cols(); ++c)
            need_[size_t(c)] = textTwips(g.text(0, c));
    }
    void put(int r, int c, const QString& text) { put(r, c, text, textTwips(text)); }
    void put(int r, int c, const QString& text, int twips) {
        need_[size_t(c)] = qMax(need_[size_t(c)], twips);
        g_.setText(r, c, text);
    }
    void apply() {
        for (int c = 0; c < g_.cols(); ++c)
            if (need_[size_t(c)] > g_.colWidth(c)) g_.setColWidth(c, need_[size_t(c)]);
    }

private:
    shell::Grid& g_;
    std::vector<int> need_;
};

// The texts of stored amounts, one shared string per distinct value: a
// class's scores repeat (0 to 150 in halves), so a fill of thousands of
// rows makes a few hundred strings instead of one per cell.
class AmountTexts {
public:
    struct Text {
        QString text;
        int twips = 0;
    };
    const Text& operator()(store::Currency c) {
        auto it = texts_.find(c.raw());
        if (it != texts_.end()) return *it;
        Text t{c.toString(), 0};
        t.twips = textTwips(t.text);
        // Bounded: a table of all-different values gains nothing from it.
        if (texts_.size() >= 4096) {
            spare_ = std::move(t);
            return spare_;
        }
        return *texts_.insert(c.raw(), std::move(t));
    }

private:
    QHash<int64_t, Text> texts_;
    Text spare_;
};

using classtable::Columns;
using classtable::forEachStudent;

} // namespace

QString msg::numberOwned(const QString& owner) {
    return QStringLiteral("该学号已被 < ") + owner + QStringLiteral(" > 拥有，不能重复！");
}

QString msg::sameNameInList(int holders, const QString& name) {
    return QStringLiteral("有%1位学生的姓名是“%2”，请从列表中选择带学号的姓名！").arg(holders).arg(name);
}

QString msg::sameNameInRoster(int holders, const QString& name) {
    return QStringLiteral("有%1位学生的姓名是“%2”，请先在表格中点选要更改学号的学生！")
        .arg(holders)
        .arg(name);
}

int textTwips(const QString& text) {
    if (text.isEmpty()) return 0;
    int twips = 150;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'.' || u == u'-' || u == u',' || u == u':' || u == u' ')
            twips += 65;
        else if (u == u'%')
            twips += 180;
        else if (u < 0x2E80)
            twips += 120;
        else if (!ch.isLowSurrogate())
            twips += 210; // a pair is one character
    }
    return twips;
}

ScoreModel::ScoreModel(ClassState& cls, QObject* parent)
    : QObject(parent), cls_(cls), panels_(readyPanels()) {
    view_.reset(kTableRows, 18);
    spare_.reset(3, 18);
}

ScoreModel::~ScoreModel() {
    data1_.reset();
}

bool ScoreModel::allowNextPageForEntry() {
    if (viewState_.pageEnabled[1]) viewState_.pageEnabled[3] = true;
    return viewState_.pageEnabled[1];
}

QString ScoreModel::chooseLevel(int position) {
    viewState_.chosenLevel = position;
    int level = 0;
    for (int i = 0; i < position && i < viewState_.levelComboItems.size(); ++i)
        if (viewState_.levelComboItems[i] != kNoEntry) ++level;
    const bool inUse = position >= 0 && position < viewState_.levelComboItems.size() &&
                       viewState_.levelComboItems[position] != kNoEntry;
    return inUse && level < classData_.levelCount ? classData_.levelStarts[level] : QString();
}

void ScoreModel::setStatusPanel(int i, const QString& text) {
    if (i < 0 || i >= panels_.size()) return;
    panels_[i] = text;
    Q_EMIT statusChanged();
}

bool ScoreModel::classReadable() {
    readProblem_.clear();
    if (!cls_.scoresOpen() || cls_.workingClass().isEmpty()) return false;
    // The file's own tables are never a class, whoever named them.
    if (ClassFiles::isReservedName(cls_.workingClass())) {
        readProblem_ = ClassFiles::kMsgNotAClass;
        return false;
    }
    return true;
}

bool ScoreModel::snapshotCurrent(const QString& key, qint64 version) const {
    return data1_ && !data1Exposed_ && version >= 0 && version == data1Version_ && data1Name_ == key;
}

bool ScoreModel::reread(const QString& key) {
    // Afresh, fields included: another program may have changed the
    // table's layout since the last read.
    QString error, why;
    data1_ = store::Recordset::OpenTable(ClassFiles::databasePath(), cls_.workingClass(), &error);
    // A table that has lost fields reads as empty cells and takes writes to
    // nowhere: it is refused as a whole.
    if (data1_)
        why = ClassFiles::fieldsProblem(data1_->fieldDefs());
    else if (why = ClassFiles::classProblem(cls_.workingClass()); why.isEmpty())
        why = error.isEmpty() ? QStringLiteral("数据库没有说明原因。") : error;
    if (!why.isEmpty()) {
        data1_.reset();
        data1Name_.clear();
        readProblem_ = ClassFiles::unreadableMessage(cls_.workingClass(), why);
        return false;
    }
    data1Name_ = key;
    return true;
}

store::Recordset* ScoreModel::data1() {
    if (!classReadable()) return nullptr;
    // The data folder can change between uses (tests), so the snapshot is
    // keyed by file and table.
    const QString key = ClassFiles::databasePath() + u'\n' + cls_.workingClass();
    // The version before the read: a commit during it makes the next use
    // read again rather than miss it.
    const qint64 version = dataVersion();
    const bool current = snapshotCurrent(key, version);
    data1Exposed_ = true;
    if (!current && !reread(key)) return nullptr;
    data1Version_ = version;
    data1_->MoveFirst();
    return data1_.get();
}

store::Recordset* ScoreModel::readClass() {
    if (!classReadable()) return nullptr;
    const QString key = ClassFiles::databasePath() + u'\n' + cls_.workingClass();
    const qint64 version = dataVersion();
    if (!snapshotCurrent(key, version)) {
        if (!reread(key)) {
            // The views then show nothing: the status bar says why.
            setStatusPanel(0, readProblem_);
            return nullptr;
        }
        data1Exposed_ = false;
        data1Version_ = version;
    }
    data1_->MoveFirst();
    return data1_.get();
}

Outcome ScoreModel::unreadable() const {
    return readProblem_.isEmpty() ? Outcome::fail(Reason::NotOpen, msg::kNoClassOpen)
                                  : Outcome::fail(Reason::Failed, readProblem_);
}

Outcome ScoreModel::editClass(const Edit& edit) {
    store::Recordset* rs = data1();
    if (!rs) return unreadable();
    Outcome out = edit(*rs);
    if (out.ok) snapshotIsCurrent();
    return out;
}

Outcome ScoreModel::writeTogether(const Writes& writes) {
    store::Recordset* rs = data1();
    if (!rs) return unreadable();
    store::Database db = rs->database();
    QString why;
    bool ok = db.beginTransaction();
    if (!ok)
        why = db.lastError();
    else if (!writes(*rs, why))
        ok = false;
    else if (!db.commit()) {
        ok = false;
        why = db.lastError();
    }
    if (!ok) {
        // Also when BEGIN failed: a transaction someone left open would
        // take in this write and every later one without committing them.
        db.rollback();
        return Outcome::storeFailed(why);
    }
    snapshotIsCurrent();
    return Outcome::done();
}

qint64 ScoreModel::dataVersion() {
    return watch_.version(ClassFiles::databasePath());
}

void ScoreModel::snapshotIsCurrent() {
    data1Exposed_ = false;
    data1Version_ = dataVersion();
}

// ------------------------------------------------------------ lifetime

void ScoreModel::windowLoaded() {
    viewState_.taskFrame = 0;
    viewState_.keyColumn = 0;
    viewState_.entrySubject = 0;
    viewState_.pageEnabled = {};
    panels_ = readyPanels();
    ScoreTableHeading();
    LoadSettings();
    viewState_.currentRow = 0;
    Q_EMIT statusChanged();
    Q_EMIT positionChanged();
}

void ScoreModel::windowUnloaded() {
    cls_.close(ClassState::Taker::Scores);
    data1_.reset();
    data1Name_.clear();
}

Outcome ScoreModel::classOpened(const QString& name) {
    if (ClassFiles::isReservedName(name)) {
        closeClass();
        return Outcome::fail(Reason::Invalid, ClassFiles::kMsgNotAClass);
    }
    cls_.open(ClassState::Taker::Scores, name);
    // A damaged class table is named with the reason and not opened.
    if (!readClass()) {
        const Outcome refused = unreadable();
        closeClass();
        return refused;
    }
    setStatusPanel(0, name);
    viewState_.pageEnabled[1] = false;
    LoadRoster();
    return Outcome::done();
}

void ScoreModel::closeClass() {
    cls_.close(ClassState::Taker::Scores);
    data1_.reset();
    data1Name_.clear();
    classData_.rowCount = 0;
    viewState_.currentRow = 0;
    viewState_.pageEnabled = {};
    panels_ = readyPanels();
    ScoreTableHeading();
    Q_EMIT statusChanged();
    Q_EMIT positionChanged();
}

void ScoreModel::LoadRoster() {
    RosterHeading();
    int r = 1;
    if (store::Recordset* rs = readClass()) {
        const Columns col(*rs);
        // Size the grid once: growing it a row at a time copies every cell
        // each time, which a grade of a few thousand students feels.
        view_.ensureRows(forEachStudent(*rs, col, [](const QString&) {}) + 1, kRowHeight);
        ColumnFit fit(view_);
        forEachStudent(*rs, col, [&](const QString& number) {
            fit.put(r, 0, QString::number(r));
            fit.put(r, 1, stringAt(*rs, col.name));
            fit.put(r, 2, number);
            ++r;
        });
        fit.apply();
    }
    classData_.rowCount = r;
    panels_[2] = QStringLiteral("共 %1 位学生").arg(r - 1);
    if (store::Recordset* rs = readClass()) shownAsStored(ShownView::Roster, rs);
    viewState_.currentRow = 1;
    panels_[1] = QStringLiteral("当前第 1 位");
    viewState_.pageEnabled[1] = true;
    LoadSettings();
    viewState_.printTitle = cls_.workingClass() + QStringLiteral("成绩表");
    Q_EMIT scoreGridChanged();
    Q_EMIT statusChanged();
    Q_EMIT positionChanged();
}

// ------------------------------------------------------------ settings

void ScoreModel::LoadSettings() {
    if (!cls_.scoresOpen()) return;
    if (store::Recordset* rs = readClass()) loadSettingsFrom(*rs);
}

void ScoreModel::loadSettingsFrom(store::Recordset& cursor) {
    store::Recordset* rs = &cursor;
    rs->MoveFirst();
    const Columns col(*rs);

    // Grade levels, the total's title and the band interval: rows 0 to 10.
    viewState_.levelComboItems.clear();
    classData_.levelCount = 0;
    for (int i = 0; i <= 10 && !rs->isEOF(); ++i, rs->MoveNext()) {
        if (!isSettingsRow(rs->text(col.number))) break; // a short template: students follow
        const QString title = rs->text(col.content);
        if (i < kLevelRows && title.trimmed() != kFree) {
            const int p = classData_.levelCount;
            classData_.levelTitles[p] = title;
            classData_.levelStarts[p] = rs->text(col.js[0]);
            classData_.pointWeights[p] = rs->text(col.js[1]);
            viewState_.levelComboItems << title.trimmed();
            ++classData_.levelCount;
        } else if (i == 8) {
            classData_.totalTitle = title.trimmed();
            classData_.pointWeights[classData_.levelCount] = rs->text(col.js[1]).trimmed();
        } else if (i == 9) {
            classData_.bandInterval = boundedInt(std::nearbyint(currencyAt(*rs, col.js[0]).toDouble()));
            classData_.pointWeights[9] = rs->text(col.js[1]).trimmed();
        } else {
            viewState_.levelComboItems << kNoEntry;
        }
    }
    viewState_.chosenLevel = 0;
    viewState_.gradeStartText = classData_.levelStarts[0];

    // Subjects, full marks, weights and page values: rows 0 to 12.
    rs->MoveFirst();
    viewState_.subjectListItems.clear();
    classData_.subjectCount = 0;
    for (int i = 0; i < kSlots && !rs->isEOF(); ++i, rs->MoveNext()) {
        if (!isSettingsRow(rs->text(col.number))) break;
        const QString name = rs->text(col.name);
        if (name.trimmed() != kFree) {
            const int k = classData_.subjectCount;
            classData_.subjectNames[k] = name;
            classData_.subjectWeights[k] = currencyAt(*rs, col.js[2]);
            classData_.fullMarks[k] = currencyAt(*rs, col.js[3]);
            viewState_.subjectListItems << name;
            ++classData_.subjectCount;
        } else {
            viewState_.subjectListItems << kNoEntry;
        }
        classData_.pageValues[i] = currencyAt(*rs, col.js[4]);
    }
    for (int i = 1; i <= 6; ++i)
        classData_.pageTwips[i] =
            boundedInt(std::round(classData_.pageValues[i].toDouble() * shell::TwipsPerMm));
    for (int i = 7; i <= 9; ++i)
        classData_.pageInts[i] = boundedInt(std::nearbyint(classData_.pageValues[i].toDouble()));
    Q_EMIT settingsLoaded();
}

// ------------------------------------------------------------ headings

void ScoreModel::RosterHeading() {
    shownView_ = ShownView::Other;
    view_.reset(kTableRows, 3);
    view_.setText(0, 1, kName);
    view_.setText(0, 2, QStringLiteral("学号"));
    view_.setColWidth(0, 400);
    view_.setColWidth(1, 950);
    view_.setColWidth(2, 950);
    view_.setColAlign(1, shell::Grid::Align::Left);
    for (int r = 1; r < kTableRows; ++r)
        view_.setRowHeight(r, kRowHeight);
    Q_EMIT scoreGridChanged();
}

void ScoreModel::scoreHeading(shell::Grid& g, int rows, bool filterLayout) {
    const int n = classData_.subjectCount;
    g.reset(rows, filterLayout ? 3 : 18);
    g.setWordWrap(false);
    g.setRowHeight(0, kRowHeight);
    g.setText(0, 1, kName);
    g.setText(0, 2, QStringLiteral("学号"));
    if (n > 0) {
        g.setCols(n + 5);
        for (int k = 0; k < n; ++k)
            g.setText(0, 3 + k, classData_.subjectNames[k]);
    }
    if (cls_.scoresOpen()) {
        if (g.cols() < n + 5) g.setCols(n + 5);
        g.setText(0, n + 3, classData_.totalTitle);
        g.setText(0, n + 4, QStringLiteral("平均"));
    }
    g.setColWidth(0, 420);
    g.setColWidth(1, 950);
    if (filterLayout) g.setColWidth(2, 950);
    for (int c = 3; c <= n + 4 && c < g.cols(); ++c)
        g.setColWidth(c, 800);
    // An average has up to 15 significant digits (84.3333333333333); at 800
    // twips it would be cut off, so its column is wider.
    if (n + 4 < g.cols() && (n > 0 || cls_.scoresOpen())) g.setColWidth(n + 4, kAverageWidth);
    g.setColAlign(1, shell::Grid::Align::Left);
    if (filterLayout)
        g.setRowHeight(1, kRowHeight);
    else
        for (int r = 1; r < rows; ++r)
            g.setRowHeight(r, kRowHeight);
}

void ScoreModel::ScoreTableHeading() {
    shownView_ = ShownView::Other;
    const int n = classData_.subjectCount;
    viewState_.entrySubjectItems.clear();
    viewState_.sortKeyItems.clear();
    scoreHeading(view_, kTableRows, false);
    if (n > 0) {
        for (int k = 0; k < n; ++k) {
            viewState_.entrySubjectItems << classData_.subjectNames[k];
            viewState_.sortKeyItems << classData_.subjectNames[k];
        }
        viewState_.sortKeyItems << classData_.totalTitle << QStringLiteral("平均");
        viewState_.sortDescending = true;
    }
    Q_EMIT subjectCombosChanged();
    Q_EMIT scoreGridChanged();
}

void ScoreModel::SpareGridHeading() {
    const int n = classData_.subjectCount;
    viewState_.filterKeyItems.clear();
    scoreHeading(spare_, 3, false);
    if (n > 0) {
        for (int k = 0; k < n; ++k)
            viewState_.filterKeyItems << classData_.subjectNames[k];
        viewState_.filterKeyItems << classData_.totalTitle << QStringLiteral("平均");
        viewState_.filterIndex = 0;
    }
    Q_EMIT subjectCombosChanged();
    Q_EMIT spareGridChanged();
}

void ScoreModel::FilterHeading() {
    shownView_ = ShownView::Other;
    scoreHeading(view_, 2, true);
    Q_EMIT scoreGridChanged();
}

// ------------------------------------------------------------ fills

WideAmount weightedTotal(const ClassData& s, const std::array<store::Currency, kSlots>& scores) {
    WideAmount t;
    const int n = qBound(0, s.subjectCount, kSlots);
    for (int k = 0; k < n; ++k)
        t += WideAmount::weighted(scores[k], s.subjectWeights[k]);
    return t;
}

QString ScoreModel::averageText(WideAmount total) const {
    // Without subjects there is nothing to average: the cell stays empty.
    if (classData_.subjectCount <= 0) return {};
    return shell::numberText(total.toDouble() / double(classData_.subjectCount));
}

void ScoreModel::fill(shell::Grid& g, bool spare) {
    const int n = qMin(classData_.subjectCount, kSlots);
    if (g.cols() < n + 5) g.setCols(n + 5);
    int r = 1;
    if (store::Recordset* rs = readClass()) {
        const Columns col(*rs);
        // Size the grid once: growing it a row at a time copies every cell
        // each time, which a class of a few thousand students feels.
        g.ensureRows(forEachStudent(*rs, col, [](const QString&) {}) + 1, kRowHeight);
        ColumnFit fit(g);
        AmountTexts amounts;
        forEachStudent(*rs, col, [&](const QString& number) {
            fit.put(r, 0, QString::number(r));
            fit.put(r, 1, stringAt(*rs, col.name));
            fit.put(r, 2, number);
            std::array<store::Currency, kSlots> scores{}; // a score never written counts as 0
            for (int k = 0; k < n; ++k) {
                const std::optional<store::Currency> score = rs->currency(col.js[k]);
                if (!score) {
                    fit.put(r, 3 + k, QString(), 0);
                    continue;
                }
                const AmountTexts::Text& text = amounts(*score);
                fit.put(r, 3 + k, text.text, text.twips);
                scores[k] = *score;
            }
            const WideAmount t = weightedTotal(classData_, scores);
            fit.put(r, n + 3, t.toString());
            fit.put(r, n + 4, averageText(t));
            ++r;
        });
        // Every column as wide as its widest text: a weighted total with
        // four decimals is wider than the standard 800 twips.
        fit.apply();
    }
    classData_.rowCount = spare ? r - 1 : r;
}

void ScoreModel::FillScoreGrid() {
    fill(view_, false);
    // The count follows every fill of the score table: after an import it
    // is the class as stored, not the class as it was opened.
    if (store::Recordset* rs = readClass()) {
        shownAsStored(ShownView::Scores, rs);
        Q_EMIT statusChanged();
    }
    Q_EMIT scoreGridChanged();
}

QByteArray ScoreModel::studentsDigest(store::Recordset& rs, int* count) {
    QCryptographicHash digest(QCryptographicHash::Sha1);
    const Columns col(rs);
    const int students = forEachStudent(rs, col, [&](const QString& number) {
        QString row = stringAt(rs, col.name) + u'\x1f' + number;
        for (int k = 0; k < kSlots; ++k)
            row += u'\x1f' + rs.text(col.js[k]);
        row += u'\x1e';
        digest.addData(QByteArrayView(reinterpret_cast<const char*>(row.constData()), row.size() * 2));
    });
    if (count) *count = students;
    rs.MoveFirst();
    return digest.result();
}

void ScoreModel::shownAsStored(ShownView view, store::Recordset* rs) {
    int students = 0;
    shownStudents_ = studentsDigest(*rs, &students);
    shownVersion_ = dataVersion();
    shownView_ = view;
    panels_[2] = QStringLiteral("共 %1 位学生").arg(students);
}

void ScoreModel::refreshIfChanged() {
    if (!classOpen()) return;
    const qint64 version = dataVersion();
    if (version >= 0 && version == shownVersion_) return;
    store::Recordset* rs = readClass();
    if (!rs) return;
    int students = 0;
    if (studentsDigest(*rs, &students) == shownStudents_) {
        shownVersion_ = version;
        return;
    }
    switch (shownView_) {
    case ShownView::Roster:
        LoadRoster();
        break;
    case ShownView::Scores:
        LoadSettings();
        ScoreTableHeading();
        FillScoreGrid();
        break;
    case ShownView::Other:
        // A report, filter or find keeps what it showed; only the count
        // says how many students the class holds now.
        if (store::Recordset* again = readClass()) shownAsStored(ShownView::Other, again);
        Q_EMIT statusChanged();
        break;
    }
}

void ScoreModel::FillSpareGrid() {
    fill(spare_, true);
    Q_EMIT spareGridChanged();
}

void ScoreModel::ShowScoreTable() {
    ScoreTableHeading();
    FillScoreGrid();
    viewState_.printTitle = cls_.workingClass() + QStringLiteral("成绩表");
}

// ------------------------------------------------------------ position

void ScoreModel::setPageButtons() {
    viewState_.pageEnabled[0] = viewState_.pageEnabled[2] = viewState_.currentRow > 1;
    viewState_.pageEnabled[1] = viewState_.pageEnabled[3] = viewState_.currentRow < classData_.rowCount - 1;
}

void ScoreModel::MoveCurrent(int index) {
    if (index == 0 || index == 2)
        --viewState_.currentRow;
    else
        ++viewState_.currentRow;
    viewState_.currentRow = qBound(0, viewState_.currentRow, qMax(0, classData_.rowCount - 1));
    setPageButtons();
    panels_[1] = QStringLiteral("当前第 %1 位").arg(viewState_.currentRow);
    Q_EMIT statusChanged();
    Q_EMIT positionChanged();
}

ClickResult ScoreModel::gridClick(int row, int col) {
    ClickResult out;
    viewState_.currentRow = row;
    panels_[1] = QStringLiteral("当前第 %1 位").arg(row);
    // Clicking the last student (or below) makes the one before it current,
    // so that "下一个" then reaches the last student.
    if (row >= classData_.rowCount - 1) viewState_.currentRow = qMax(0, classData_.rowCount - 2);
    if (viewState_.currentRow < classData_.rowCount - 1) viewState_.pageEnabled[1] = true;
    if (col >= 3 && col <= classData_.subjectCount + 2) {
        out.subjectColumn = true;
        out.subjectText = classData_.subjectNames[col - 3];
        viewState_.entrySubject = col - 3;
    }
    Q_EMIT statusChanged();
    Q_EMIT positionChanged();
    return out;
}

} // namespace scores
