#pragma once

#include "shell/core/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace lessons {

// The lesson-plan library in "cJapy218.mdb": one table per subject, all with
// the fields 册别 (Number), 课题 (Text), 内容 (Memo), 分析 (Memo), 课件地址
// (Text) in that order. Reads go by position, writes by name. A plan is
// identified by its volume and topic; the tables themselves enforce nothing,
// so adding checks first.
struct Subject {
    QString name;  // "语文"
    QString table; // "jaywtextdata"
};
// The eight subjects in the order of the subject lists.
const QList<Subject>& subjects();
QStringList subjectNames();
// The table of a subject named exactly so, or nullopt.
std::optional<QString> tableOfSubject(const QString& subject);
inline const QString kFirstTable = QStringLiteral("jaywtextdata");

inline constexpr int kVolumes = 12;
// A volume box's text as a volume: a whole number 1 to 12 (blanks around
// it allowed), else nullopt.
std::optional<int> parseVolume(const QString& text);
// "第一册" … "第十二册".
QString volumeCaption(int volume);

// The courseware address a plan gets when none is typed: the maker's page.
QString defaultCoursewareAddress();

struct LessonPlan {
    int volume = 1;
    QString topic;
    QString text;
    QString analysis;
    QString address;
};

// What the reference view shows for a topic: the text of the last record
// with that topic, and the last non-empty analysis and address among those
// records (an empty one leaves what was shown before).
struct Reference {
    bool found = false;
    QString text;
    QString analysis; // empty: keep the shown analysis
    QString address;  // empty: keep the shown address
};

// The topics of one table by volume, each in stored order: topics[v - 1].
struct VolumeIndex {
    QList<QStringList> topics = QList<QStringList>(kVolumes);
};

// The messages of the library editor.
namespace text {
QString enterTopic();     // "请输入课题名称！"
QString emptyPlan();      // "添加教案框或教案注析框没有内容，请添加！"
QString topicMissing();   // "该册的课题名称不存在，请另写名称！"
QString topicExists();    // "该册的课题名称已经存在，请另起名来区分保存！"
QString added();          // "该课已经成功保存！"
QString updated();        // "该课教案已经成功更新！"
QString unknownSubject(); // the typed subject is none of the eight
QString badVolume();      // the volume is not a whole number 1 to 12
QString topicTooLong(int limit);
QString addressTooLong(int limit);
} // namespace text

// One lesson-plan library, with the window's current table (the first
// subject's until SubjectTable picks another). Every operation opens the
// table afresh, so another window's changes are seen.
class LessonLibrary {
public:
    explicit LessonLibrary(QString dbPath);

    const QString& dbPath() const { return dbPath_; }
    const QString& currentTable() const { return table_; }
    // A subject named exactly as one of the eight makes its table current
    // (true); any other text leaves the current table (false).
    bool SubjectTable(const QString& subject);

    // The topics of `volume` in stored order.
    shell::Outcome ListTopics(int volume, QStringList* out) const;
    // Every topic of the table by volume in one pass; records whose volume
    // is not 1 to 12 are left out.
    shell::Outcome readIndex(VolumeIndex* out) const;
    // The first record with this volume and topic (exact texts). NotFound
    // with topicMissing(); *tableEmpty says whether the table had no record.
    shell::Outcome LoadLesson(int volume, const QString& topic, LessonPlan* out,
                              bool* tableEmpty = nullptr) const;
    // Adds a plan: Exists when the volume already has the topic; Invalid when
    // the topic or address is longer than its field; the message of success
    // only once the record is in the file.
    shell::Outcome AddLesson(const LessonPlan& plan);
    // Rewrites text, analysis and address of the first record with the
    // plan's volume and topic (which stay); NotFound when there is none.
    shell::Outcome UpdateLesson(const LessonPlan& plan);
    // Every record whose topic is `topic`, later ones overriding (see
    // Reference).
    shell::Outcome FindReference(const QString& topic, Reference* out) const;

private:
    QString dbPath_;
    QString table_ = kFirstTable;
};

// The library editor's input, as the boxes hold it.
struct PanelInput {
    QString subject;
    QString volume;
    QString topic;
    QString text;
    QString analysis;
    QString address;
};

// The checks all three editor buttons make before anything is read or
// written, in this order: a topic (trimmed) is needed; the plan text and the
// analysis (trimmed) are needed; the subject must be one of the eight and
// the volume a whole number 1 to 12. On success *plan holds what to store,
// the address being defaultCoursewareAddress() when the box is blank, and
// *table the subject's table.
shell::Outcome checkPanelInput(const PanelInput& in, LessonPlan* plan, QString* table);

// The check of the volume list's choice: subject and volume must be given
// ("请输入课题名称！"), the subject must be one of the eight and the volume
// 1 to 12. On success *volume and *table are set.
shell::Outcome checkVolumeChoice(const QString& subject, const QString& volumeText, int* volume,
                                 QString* table);

} // namespace lessons
