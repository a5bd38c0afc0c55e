#pragma once

// The score manager's model: the class table of the open class, what it
// holds (ClassData), what the score views show (ViewState), and the views
// themselves as shell::Grid values. QtCore and the record store only; the
// score window shows what is here and changes it only through operations.
//
// Other model code (reports, bands, sorting, filters, find) works on the same
// object: it reads through classData(), viewState(), scoreGrid(), spareGrid()
// and readClass(), writes the class through editClass()/writeTogether() and
// the grids through ScoreModelAccess.

#include "StudentNames.h"
#include "WideAmount.h"
#include "classes/model/ClassFiles.h"

#include "shell/core/Grid.h"
#include "shell/core/Outcome.h"
#include "store/Currency.h"
#include "store/Store.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

namespace scores {

constexpr int kSlots = 13;          // subject slots and score fields js0..js12
constexpr int kLevelRows = 8;       // grade levels live in settings rows 0..7
constexpr int kRowHeight = 320;     // data rows of every score view, twips
constexpr int kTableRows = 25;      // heading row and 24 empty rows
constexpr int kAverageWidth = 2200; // twips: room for 15 significant digits

// What the open class holds: its subjects, grade levels, weights and page
// values (read from its settings rows) and how many student rows the last
// view held. It changes when the class is read or a setting is saved.
struct ClassData {
    int subjectCount = 0;                           // n
    std::array<QString, 14> subjectNames;           // subjects 0..n-1, free slots skipped
    std::array<store::Currency, 14> fullMarks;      // "卷面总分" of subject k
    std::array<store::Currency, 14> subjectWeights; // percent, weighted total
    int levelCount = 0;
    std::array<QString, 9> levelTitles;
    std::array<QString, 9> levelStarts;   // percent of full marks, as text
    std::array<QString, 11> pointWeights; // level rates, the average (slot levelCount), 9: 应考人数
    int bandInterval = 0;
    QString totalTitle;
    std::array<store::Currency, 14> pageValues; // settings rows' "js4"
    std::array<int, 14> pageTwips{};            // page values 1..6 in twips
    std::array<int, 14> pageInts{};             // page values 7..9 as integers
    int rowCount = 0; // students + 1 after the roster or score table, students after the spare grid
};

// What the score views show and what the window chose: the task frame, the
// current student, keys, sort direction, filter and print title. It lives
// for the whole run of the program and survives the score window being
// closed and opened again; the window values reset when it is created.
struct ViewState {
    int currentRow = 0; // the current student's grid row
    QString searchKey;
    int chosenLevel = 0;
    QString printTitle;

    // Window values: reset whenever the score window is created.
    int taskFrame = 0;
    int keyColumn = 0;
    int entrySubject = 0;

    // What LoadSettings and the headings put into the window's lists, so the
    // window can show them without knowing the rules.
    QStringList levelComboItems;   // cobGradeTitle: one entry per level row, then "---"
    QString gradeStartText;        // txtGradeStart after LoadSettings
    QStringList subjectListItems;  // listKmEdit: one entry per slot, name or "---"
    QStringList entrySubjectItems; // cobKM
    QStringList sortKeyItems;      // cobSetSort
    QStringList filterKeyItems;    // cobSetFilter
    bool sortDescending = true;    // optSetSort(0) "递减"
    int filterIndex = 0;           // optSetFilter: 0 "单科前N名"
    // cmdNamePage 0..3: roster "上一个"/"下一个", entry "上一个"/"下一个".
    std::array<bool, 4> pageEnabled{};
};

// The width a cell needs for `text`, in twips, in the score window's 9-point
// font with the cell's margins: a digit is about 0.64 em (8 pixels, allowing
// for the widest common UI fonts), "." "-" about a third of an em, a Chinese
// character a full em, plus 10 pixels of margin.
int textTwips(const QString& text);

// The length of a name as the teacher counts it: characters, not UTF-16
// units (an emoji or a rare CJK character outside the basic plane is one).
inline qsizetype characters(const QString& s) {
    return s.toUcs4().size();
}

// A whole number from a stored or typed amount, held to the int range (NaN
// gives 0): a value from a damaged or hostile file never wraps.
inline int boundedInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return int(v);
}

using shell::Outcome;
using shell::Reason;

// The weighted total of one student: each subject's score times its weight,
// rounded to four places after each step, over the subjects in use. Every
// total the program shows or sorts by is this one.
WideAmount weightedTotal(const ClassData& s, const std::array<store::Currency, kSlots>& scores);

// What a click on the score grid asks the window to show.
struct ClickResult {
    bool subjectColumn = false; // the entry subject follows the clicked column
    QString subjectText;        // cobKM's text (empty outside subject columns)
};

struct ScoreModelAccess;

class ScoreModel : public QObject {
    Q_OBJECT
public:
    explicit ScoreModel(ClassState& cls, QObject* parent = nullptr);
    ~ScoreModel() override;

    // Both parts are read here and changed only through the operations
    // below and the model's own reports, sorting and filters.
    const ClassData& classData() const { return classData_; }
    const ViewState& viewState() const { return viewState_; }
    const ClassState& classState() const { return cls_; }
    bool classOpen() const { return cls_.scoresOpen(); }
    QString className() const { return cls_.workingClass(); }

    // The visible grid (msfgCJView) and the hidden spare grid (msfgCjBAK).
    const shell::Grid& scoreGrid() const { return view_; }
    const shell::Grid& spareGrid() const { return spare_; }

    // What the window chose; each only records the choice.
    void setTaskFrame(int index) { viewState_.taskFrame = index; }
    void setKeyColumn(int column) { viewState_.keyColumn = column; }
    void setSortDescending(bool descending) { viewState_.sortDescending = descending; }
    void setFilterIndex(int index) { viewState_.filterIndex = index; }
    void setSearchKey(const QString& key) { viewState_.searchKey = key; }
    void setPrintTitle(const QString& title) { viewState_.printTitle = title; }
    // Entering scores: the next-page button follows the previous-page one.
    // Returns whether the next page may be asked for.
    bool allowNextPageForEntry();
    // The level combo's entry at `position` is chosen: one entry per level
    // row, "---" for a row not in use. Returns the start to show for it,
    // empty for a row not in use.
    QString chooseLevel(int position);

    // Status panels 0..2 of stbStudens.
    QString statusPanel(int i) const { return panels_.value(i); }
    void setStatusPanel(int i, const QString& text);

    // The open class table ("Data1") as stored, at its first record, for
    // reading only (reports, filters, fills): never write through it. Null
    // when no class is open or the table cannot be read. The table is read
    // again only when the file has changed since the last read (SQLite's
    // data_version) or a write through editClass() was not confirmed.
    store::Recordset* readClass();
    // Edits of the open class table: `edit` gets the cursor at its first
    // record and says whether it wrote. Once it reports success the cursor's
    // snapshot stands for the table as stored; after a refusal or failure
    // the next read fetches the table again. A class that cannot be read
    // is refused before `edit` runs.
    using Edit = std::function<Outcome(store::Recordset& rs)>;
    Outcome editClass(const Edit& edit);
    // When the class table gave null: the refusal to show (which class could not be
    // read and why).
    Outcome unreadable() const;

    // Several writes to the open class table as one: `writes` gets the
    // cursor and returns false (with the store's reason in `why`) at the
    // first write that fails. Either all of it is committed or none of it,
    // and the transaction is ended whatever happens, so that no later write
    // can join a transaction that is never committed. A failure comes back
    // as "保存失败：" and the reason.
    using Writes = std::function<bool(store::Recordset& rs, QString& why)>;
    Outcome writeTogether(const Writes& writes);

    // --- window lifetime -------------------------------------------------
    // Window load: window values reset, ScoreTableHeading, LoadSettings, currentRow 0.
    void windowLoaded();
    // Window unload: the class is no longer open in the score manager.
    void windowUnloaded();

    // --- class ----------------------------------------------------------
    // The hand-back of the class-file window: the class `name` is open.
    // A name that is no class (the file's own tables) is refused: no class
    // is open then, and the outcome says why.
    Outcome classOpened(const QString& name);
    // Closes the class ("关闭(&Q)"): nothing is open, the grid shows an
    // empty score heading.
    void closeClass();
    // Loading the roster into the score grid (heading, one row per student,
    // status panels, currentRow 1, LoadSettings, printTitle).
    void LoadRoster();

    // --- settings and views ---------------------------------------------
    void LoadSettings();
    void RosterHeading();
    void ScoreTableHeading();
    void SpareGridHeading();
    void FilterHeading();
    void FillScoreGrid();
    void FillSpareGrid();
    // "个人成绩": the score table with its title.
    void ShowScoreTable();
    // Shows the class as stored when it has changed since the grid was
    // filled (an import, the comment writer or another program adding or
    // removing students): the roster and the score table are filled again,
    // any other view keeps its rows (a filter shows nothing until it is
    // run) and the student count follows the class. Nothing happens while
    // the students are as shown.
    void refreshIfChanged();

    // The weighted total of one student row, rounded to four places after
    // each step (never wrapped, however large), and its average (empty
    // with no subjects).
    QString averageText(WideAmount total) const;

    // --- position -------------------------------------------------------
    // cmdNamePage(index): 0/2 back, 1/3 forward.
    void MoveCurrent(int index);
    // A click on cell (row, col) of the score grid.
    ClickResult gridClick(int row, int col);
    // The student of grid row `row` as the entry and find combos name it:
    // the 学号, or the name as the by-name lists show it (with the 学号 when
    // another student has the same name).
    QString studentText(int row, bool byName);
    // The same for the current row.
    QString currentStudentText(bool byName) { return studentText(viewState_.currentRow, byName); }

    // --- roster editing (ScoreRoster.cpp) --------------------------------
    Outcome addStudent(const QString& nameBox, const QString& numberBox);
    Outcome addBatch(const QString& firstBox, const QString& countBox);
    Outcome renameStudent(const QString& nameBox, const QString& numberBox);
    // The student is found by name. When several have that name, the one
    // picked in the grid (`pickedNumber`, its 学号) is meant if it has the
    // name; otherwise the change is refused and nothing is written.
    Outcome renumberStudent(const QString& nameBox, const QString& numberBox,
                            const QString& pickedNumber = QString());
    Outcome deleteStudent(const QString& numberBox);

    // --- subjects (ScoreSubjects.cpp) ------------------------------------
    Outcome addSubject(const QString& nameBox, const QString& fullMarksBox);
    Outcome changeSubject(int slot, const QString& nameBox, const QString& fullMarksBox);
    Outcome deleteSubject(int slot, const QString& nameBox, const QString& fullMarksBox);
    // The full-marks text shown when list entry `slot` is picked.
    QString fullMarksText(int slot);

    // --- score entry (ScoreEntry.cpp) ------------------------------------
    // The student combo's list: numbers or names of the students, stored
    // order; a name held by several students is listed with the 学号.
    QStringList studentNumbers();
    QStringList studentNames();
    // Chooses the entry subject by its position in cobKM.
    void chooseEntrySubject(int index);
    // "确定": store `scoreBox` for the student `studentText` in the subject
    // shown as `subjectText`. `scoreStored` tells whether a score was written.
    Outcome storeScore(const QString& subjectText, bool byName, const QString& studentText,
                       const QString& scoreBox);

Q_SIGNALS:
    void scoreGridChanged();
    void spareGridChanged();
    void statusChanged();
    // LoadSettings ran: level combo, subject list, formula rows.
    void settingsLoaded();
    // A score heading ran: cobKM / cobSetSort / cobSetFilter lists were rebuilt.
    void subjectCombosChanged();
    // currentRow or the position buttons changed.
    void positionChanged();

public:
    void gridChanged() { Q_EMIT scoreGridChanged(); }

private:
    friend struct ScoreModelAccess;
    // The cursor editClass() and writeTogether() write through, and the
    // note that a committed write left its snapshot current.
    store::Recordset* data1();
    void snapshotIsCurrent();
    void scoreHeading(shell::Grid& g, int rows, bool filterLayout);
    // LoadSettings on a cursor already read (from its first record).
    void loadSettingsFrom(store::Recordset& rs);
    void fill(shell::Grid& g, bool spare);
    void setPageButtons();
    Outcome rosterChanged(const QString& message);
    // A subject slot whose settings row the table lacks.
    Outcome missingSlot(int slot) const;
    // The first student row (stored order) whose field equals `value`; the
    // cursor is left on it. Settings rows never match, so that a typed
    // number such as "listKM3" cannot reach a subject's row.
    bool findStudent(store::Recordset& rs, const QString& field, const QString& value);
    // The students' names and numbers, stored order.
    QList<NamedStudent> namedStudents(store::Recordset& rs);
    // The cursor on the `index`-th student row.
    bool moveToStudent(store::Recordset& rs, qsizetype index);
    // The student a by-name list entry picks (StudentNames.h), the cursor
    // left on it; else false with the refusal to show.
    bool findByName(store::Recordset& rs, const QString& text, Outcome& refusal);

    ClassState& cls_;
    ClassData classData_;
    ViewState viewState_;
    shell::Grid view_;
    shell::Grid spare_;
    QStringList panels_;
    // Whether the class is one data1() may read; sets readProblem_ if not.
    bool classReadable();
    // Whether data1_ holds the table as stored (see data1()).
    bool snapshotCurrent(const QString& key, qint64 version) const;
    // Reads the table afresh, fields included; false (with readProblem_)
    // when it cannot be read or is damaged.
    bool reread(const QString& key);
    // SQLite's data_version, seen from a connection of our own, so that it
    // moves with every commit of any other connection; -1 when unknown.
    qint64 dataVersion();

    // What the visible grid was last filled with, and the class's students
    // (a digest of their names, numbers and scores) and change counter then.
    enum class ShownView { Other, Roster, Scores };
    ShownView shownView_ = ShownView::Other;
    QByteArray shownStudents_;
    qint64 shownVersion_ = -1;
    // The digest of the students of `rs` and how many there are.
    QByteArray studentsDigest(store::Recordset& rs, int* count);
    // The visible grid now shows the class as stored: remembers it and sets
    // the student count panel.
    void shownAsStored(ShownView view, store::Recordset* rs);

    std::unique_ptr<store::Recordset> data1_;
    QString readProblem_; // why the last data1() gave null, as the teacher is told
    QString data1Name_;
    bool data1Exposed_ = true;
    qint64 data1Version_ = -1;
    store::ChangeWatch watch_;
};

// How the model's own reports, sorting, filters and find change its grids;
// windows never use it.
struct ScoreModelAccess {
    // Change, then call gridChanged(). The grid then shows a report, a
    // sort, a filter or a find rather than the class as stored.
    static shell::Grid& scoreGrid(ScoreModel& m) {
        m.shownView_ = ScoreModel::ShownView::Other;
        return m.view_;
    }
    static shell::Grid& spareGrid(ScoreModel& m) { return m.spare_; }
};

// Messages of the score window's roster, subject and entry frames.
namespace msg {
inline const QString kNumberOnly = QStringLiteral("分数只能以数字表示，请重做！");
inline const QString kNameOrNumberEmpty = QStringLiteral("学生学号或姓名不能为空！");
inline const QString kNumberExists = QStringLiteral("该学号已经存在，请另写！");
inline const QString kAdded = QStringLiteral("已经添加成功！");
inline const QString kBatchBad = QStringLiteral("初始学号不能为空，人数要大于2人！请重做。");
inline const QString kBatchAdded = QStringLiteral("学号已经成功添加！");
inline const QString kRenamed = QStringLiteral("该学生姓名已经成功修改！");
inline const QString kNoSuchNumber = QStringLiteral("该学号不存在，请另写！");
inline const QString kRenumbered = QStringLiteral("该学生学号已经成功修改！");
inline const QString kNoSuchName = QStringLiteral("该学生姓名不存在，请另写！");
inline const QString kDeleted = QStringLiteral("该学生姓名已经成功删除！");
inline const QString kNumberTooLong = QStringLiteral("学生学号不能超过10个字符，请重做！");
inline const QString kNameTooLong = QStringLiteral("学生姓名不能超过50个字符，请重做！");
inline const QString kBatchFirstNotNumber = QStringLiteral("初始学号只能以数字表示，请重做！");
inline const QString kBatchTooLarge = QStringLiteral("一次最多自动添加1000位学生，请重做！");
inline const QString kSubjectEmpty = QStringLiteral("科目不能空，请重做！");
inline const QString kSubjectNotChosen = QStringLiteral("没有选中更改的科目，请重做！");
inline const QString kSubjectTooLong = QStringLiteral("科目名称不能超过50个字符，请重做！");
inline const QString kNoEntrySubject = QStringLiteral("没有选择科目，请选择后再确定！");
inline const QString kUnknownSubject = QStringLiteral("没有这个科目，请从列表中选择科目！");
inline const QString kEmptyScore = QStringLiteral("学生成绩为空，系统自动添加 0 分！");
inline const QString kScoreStored = QStringLiteral("该学生成绩已经成功修改！");
inline const QString kNoClassOpen = QStringLiteral("没有打开班级，请先打开班级！");
QString numberOwned(const QString& owner);
// A bare name that several students hold, in the by-name lists and in the
// roster's "更改学号".
QString sameNameInList(int holders, const QString& name);
QString sameNameInRoster(int holders, const QString& name);
} // namespace msg

} // namespace scores
