#include "LessonStore.h"

#include "shell/core/Branding.h"
#include "shell/core/TextRules.h"
#include "store/Store.h"

namespace lessons {

using shell::Outcome;
using shell::Reason;

const QList<Subject>& subjects() {
    static const QList<Subject> all{
        {QStringLiteral("语文"), QStringLiteral("jaywtextdata")},
        {QStringLiteral("数学"), QStringLiteral("jasxtextdata")},
        {QStringLiteral("英语"), QStringLiteral("jaYYtextData")},
        {QStringLiteral("历史"), QStringLiteral("jaLStextData")},
        {QStringLiteral("物理"), QStringLiteral("jaWLtextData")},
        {QStringLiteral("化学"), QStringLiteral("jaHXtextData")},
        {QStringLiteral("地理"), QStringLiteral("jaDLtextData")},
        {QStringLiteral("生物"), QStringLiteral("jaSWtextData")},
    };
    return all;
}

QStringList subjectNames() {
    QStringList out;
    for (const Subject& s : subjects())
        out << s.name;
    return out;
}

std::optional<QString> tableOfSubject(const QString& subject) {
    for (const Subject& s : subjects())
        if (s.name == subject) return s.table;
    return std::nullopt;
}

std::optional<int> parseVolume(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 2) return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return std::nullopt;
    const int v = t.toInt();
    if (v < 1 || v > kVolumes) return std::nullopt;
    return v;
}

QString volumeCaption(int volume) {
    static const char16_t* const names[] = {u"第一册", u"第二册", u"第三册",   u"第四册",
                                            u"第五册", u"第六册", u"第七册",   u"第八册",
                                            u"第九册", u"第十册", u"第十一册", u"第十二册"};
    if (volume < 1 || volume > kVolumes) return {};
    return QString::fromUtf16(names[volume - 1]);
}

QString defaultCoursewareAddress() {
    return shell::homepageUrl();
}

namespace text {
QString enterTopic() {
    return QStringLiteral("请输入课题名称！");
}
QString emptyPlan() {
    return QStringLiteral("添加教案框或教案注析框没有内容，请添加！");
}
QString topicMissing() {
    return QStringLiteral("该册的课题名称不存在，请另写名称！");
}
QString topicExists() {
    return QStringLiteral("该册的课题名称已经存在，请另起名来区分保存！");
}
QString added() {
    return QStringLiteral("该课已经成功保存！");
}
QString updated() {
    return QStringLiteral("该课教案已经成功更新！");
}
QString unknownSubject() {
    return QStringLiteral("科目只能是语文、数学、英语、历史、物理、化学、地理、生物之一，请重选！");
}
QString badVolume() {
    return QStringLiteral("册别只能是1到12的整数，请重选！");
}
QString topicTooLong(int limit) {
    return QStringLiteral("课题名称不能超过%1个字，请重写！").arg(limit);
}
QString addressTooLong(int limit) {
    return QStringLiteral("课件地址不能超过%1个字符，请重写！").arg(limit);
}
} // namespace text

namespace {

constexpr int kVolumeField = 0;
constexpr int kTopicField = 1;
constexpr int kTextField = 2;
constexpr int kAnalysisField = 3;
constexpr int kAddressField = 4;

// Volumes are compared by value: a stored 3 (or 3.0) is volume 3.
bool sameVolume(const QVariant& stored, int volume) {
    if (stored.isNull()) return false;
    bool ok = false;
    const double v = stored.toDouble(&ok);
    return ok && v == double(volume);
}

std::optional<int> volumeOf(const QVariant& stored) {
    if (stored.isNull()) return std::nullopt;
    bool ok = false;
    const double v = stored.toDouble(&ok);
    if (!ok || v < 1 || v > kVolumes || v != double(int(v))) return std::nullopt;
    return int(v);
}

std::unique_ptr<store::Recordset> openLessons(const QString& dbPath, const QString& table, Outcome* failure) {
    QString why;
    auto rs = store::Recordset::OpenTable(dbPath, table, &why);
    if (!rs) {
        *failure = Outcome::fail(Reason::NotOpen, why);
        return nullptr;
    }
    if (rs->fieldCount() < 5) {
        *failure =
            Outcome::fail(Reason::NotOpen,
                          QStringLiteral("数据库“%1”中的表“%2”少了字段，无法读取教案！").arg(dbPath, table));
        return nullptr;
    }
    return rs;
}

// The size limit of a Text field at a position, or 0 for none.
int textLimit(const store::Recordset& rs, int field) {
    const store::FieldDef& f = rs.fieldDefs().at(field);
    return f.kind == store::FieldKind::Text ? f.size : 0;
}

Outcome checkSizes(const store::Recordset& rs, const LessonPlan& plan, bool checkTopic) {
    const int topicMax = textLimit(rs, kTopicField);
    if (checkTopic && topicMax > 0 && shell::characters(plan.topic) > topicMax)
        return Outcome::fail(Reason::Invalid, text::topicTooLong(topicMax));
    const int addressMax = textLimit(rs, kAddressField);
    if (addressMax > 0 && shell::characters(plan.address) > addressMax)
        return Outcome::fail(Reason::Invalid, text::addressTooLong(addressMax));
    return Outcome::done();
}

bool setContent(store::Recordset& rs, const LessonPlan& plan) {
    return rs.SetField(QStringLiteral("内容"), plan.text) &&
           rs.SetField(QStringLiteral("分析"), plan.analysis) &&
           rs.SetField(QStringLiteral("课件地址"), plan.address);
}

} // namespace

LessonLibrary::LessonLibrary(QString dbPath) : dbPath_(std::move(dbPath)) {}

bool LessonLibrary::SubjectTable(const QString& subject) {
    const auto t = tableOfSubject(subject);
    if (!t) return false;
    table_ = *t;
    return true;
}

Outcome LessonLibrary::ListTopics(int volume, QStringList* out) const {
    out->clear();
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        if (sameVolume(rs->Fields(kVolumeField), volume)) out->append(rs->text(kTopicField));
    return Outcome::done();
}

Outcome LessonLibrary::readIndex(VolumeIndex* out) const {
    *out = VolumeIndex{};
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        if (const auto v = volumeOf(rs->Fields(kVolumeField)))
            out->topics[*v - 1].append(rs->text(kTopicField));
    return Outcome::done();
}

Outcome LessonLibrary::LoadLesson(int volume, const QString& topic, LessonPlan* out, bool* tableEmpty) const {
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    if (tableEmpty) *tableEmpty = rs->RecordCount() == 0;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (rs->text(kTopicField) != topic || !sameVolume(rs->Fields(kVolumeField), volume)) continue;
        out->volume = volume;
        out->topic = topic;
        out->text = rs->text(kTextField);
        out->analysis = rs->text(kAnalysisField);
        out->address = rs->text(kAddressField);
        return Outcome::done();
    }
    return Outcome::fail(Reason::NotFound, text::topicMissing());
}

Outcome LessonLibrary::AddLesson(const LessonPlan& plan) {
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        if (rs->text(kTopicField) == plan.topic && sameVolume(rs->Fields(kVolumeField), plan.volume))
            return Outcome::fail(Reason::Exists, text::topicExists());
    if (const Outcome sizes = checkSizes(*rs, plan, true); !sizes) return sizes;
    rs->AddNew();
    const bool set = rs->SetField(QStringLiteral("册别"), plan.volume) &&
                     rs->SetField(QStringLiteral("课题"), plan.topic) && setContent(*rs, plan);
    if (!set || !rs->Update()) {
        const QString why = rs->lastError();
        rs->CancelUpdate();
        return Outcome::storeFailed(why);
    }
    return Outcome::done(text::added());
}

Outcome LessonLibrary::UpdateLesson(const LessonPlan& plan) {
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (rs->text(kTopicField) != plan.topic || !sameVolume(rs->Fields(kVolumeField), plan.volume))
            continue;
        if (const Outcome sizes = checkSizes(*rs, plan, false); !sizes) return sizes;
        if (!rs->Edit() || !setContent(*rs, plan) || !rs->Update()) {
            const QString why = rs->lastError();
            rs->CancelUpdate();
            return Outcome::storeFailed(why);
        }
        return Outcome::done(text::updated());
    }
    return Outcome::fail(Reason::NotFound, text::topicMissing());
}

Outcome LessonLibrary::FindReference(const QString& topic, Reference* out) const {
    *out = Reference{};
    Outcome failure;
    auto rs = openLessons(dbPath_, table_, &failure);
    if (!rs) return failure;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (rs->text(kTopicField) != topic) continue;
        out->found = true;
        out->text = rs->text(kTextField);
        if (QString a = rs->text(kAnalysisField); !a.isEmpty()) out->analysis = std::move(a);
        if (QString a = rs->text(kAddressField); !a.isEmpty()) out->address = std::move(a);
    }
    return Outcome::done();
}

Outcome checkVolumeChoice(const QString& subject, const QString& volumeText, int* volume, QString* table) {
    if (subject.trimmed().isEmpty() || volumeText.trimmed().isEmpty())
        return Outcome::fail(Reason::Invalid, text::enterTopic());
    const auto t = tableOfSubject(subject);
    if (!t) return Outcome::fail(Reason::Invalid, text::unknownSubject());
    const auto v = parseVolume(volumeText);
    if (!v) return Outcome::fail(Reason::Invalid, text::badVolume());
    *volume = *v;
    *table = *t;
    return Outcome::done();
}

Outcome checkPanelInput(const PanelInput& in, LessonPlan* plan, QString* table) {
    if (in.topic.trimmed().isEmpty()) return Outcome::fail(Reason::Invalid, text::enterTopic());
    if (in.text.trimmed().isEmpty() || in.analysis.trimmed().isEmpty())
        return Outcome::fail(Reason::Invalid, text::emptyPlan());
    const auto t = tableOfSubject(in.subject);
    if (!t) return Outcome::fail(Reason::Invalid, text::unknownSubject());
    const auto v = parseVolume(in.volume);
    if (!v) return Outcome::fail(Reason::Invalid, text::badVolume());
    plan->volume = *v;
    plan->topic = in.topic;
    plan->text = in.text;
    plan->analysis = in.analysis;
    plan->address = in.address.trimmed().isEmpty() ? defaultCoursewareAddress() : in.address;
    *table = *t;
    return Outcome::done();
}

} // namespace lessons
