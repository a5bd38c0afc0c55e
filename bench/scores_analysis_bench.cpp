// The score manager's analysis clicks on a class of 2,000 students with 13
// subjects: the per-subject report, the band report, the sorts and each of
// the nine filters, each as the teacher's click runs it (reading the class
// table included).
#include "classes/model/ClassFiles.h"
#include "scores/model/ScoreModel.h"
#include "scores/model/ScoreReports.h"
#include "scores/model/ScoreSortFilter.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kStudents = 2000;
constexpr int kSubjects = 13;

struct BigClass {
    QTemporaryDir dir;
    scores::ClassState cls;
    std::unique_ptr<scores::ScoreModel> model;

    BigClass() {
        qputenv("VELTRANO_DATA_DIR", dir.path().toUtf8());
        store::ensureDataFiles(dir.path());
        const QString name = QStringLiteral("高一(1)班");
        scores::ClassFiles::create(name, false);
        model = std::make_unique<scores::ScoreModel>(cls);
        model->classOpened(name);
        for (int k = 0; k < kSubjects; ++k)
            model->addSubject(QStringLiteral("科目%1").arg(k),
                              k % 3 == 0 ? QStringLiteral("150") : QStringLiteral("100"));
        // Every level and the expected candidates count towards the points.
        QList<scores::FormulaRow> rows(model->classData().levelCount + 1,
                                       scores::FormulaRow{true, QStringLiteral("20")});
        scores::savePointsFormula(*model, rows, {true, QStringLiteral("2100")});

        auto rs = store::Recordset::OpenTable(scores::ClassFiles::databasePath(), name);
        store::Database db = rs->database();
        db.beginTransaction();
        for (int i = 0; i < kStudents; ++i) {
            rs->AddNew();
            rs->SetField(QStringLiteral("姓名"), QStringLiteral("学生%1").arg(i));
            rs->SetField(QStringLiteral("编号"), QString::number(20001 + i));
            for (int k = 0; k < kSubjects; ++k) {
                // Spread over 0..full marks with ties and some full marks.
                const int full = k % 3 == 0 ? 150 : 100;
                const int v = (i * 37 + k * 11) % (full * 2 + 1);
                rs->SetField(QStringLiteral("js%1").arg(k), QString::number(v / 2.0));
            }
            rs->Update();
        }
        db.commit();
        model->LoadSettings();
    }
};

BigClass& big() {
    static BigClass c;
    return c;
}

void BM_SubjectReport(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        scores::ShowSubjectReport(m);
    if (m.scoreGrid().text(1, 3) != QString::number(kStudents)) state.SkipWithError("wrong report");
}
BENCHMARK(BM_SubjectReport)->Unit(benchmark::kMillisecond);

void BM_BandReport(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        scores::ShowBandReport(m);
    if (m.scoreGrid().text(1, 1) != QString::number(kStudents)) state.SkipWithError("wrong report");
}
BENCHMARK(BM_BandReport)->Unit(benchmark::kMillisecond);

void BM_ScoreTable(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        m.ShowScoreTable();
}
BENCHMARK(BM_ScoreTable)->Unit(benchmark::kMillisecond);

// "升序" (0) / "降序" (1): the score table filled and sorted on the total.
void BM_SortUpDown(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        scores::SortScores(m, state.range(0) == 1);
}
BENCHMARK(BM_SortUpDown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "高级排序" on the first subject: every column after it breaks ties. The
// grid is refilled unsorted each time, as opening the frame does.
void BM_AdvancedSort(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state) {
        scores::OpenAdvancedSort(m);
        scores::ChooseKeyColumn(m, 0);
        m.setSortDescending(state.range(0) == 1);
        scores::ConfirmAdvancedSort(m);
    }
}
BENCHMARK(BM_AdvancedSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "筛选": the filter heading and the spare grid filled.
void BM_OpenFilter(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        scores::OpenFilter(m);
}
BENCHMARK(BM_OpenFilter)->Unit(benchmark::kMillisecond);

// "确定" of filter `range(0)` on the first subject (filters 0 and 1 sort the
// spare grid, which is refilled unsorted outside the timing).
void BM_Filter(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    const int index = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        scores::OpenFilter(m);
        scores::ChooseKeyColumn(m, 0);
        state.ResumeTiming();
        scores::RunFilter(m, index, index == 0 ? QStringLiteral("100") : QStringLiteral("60"),
                          QStringLiteral("科目0"));
    }
}
BENCHMARK(BM_Filter)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state) {
    scores::ScoreModel& m = *big().model;
    for (auto _ : state)
        scores::FindStudent(m, true, QStringLiteral("学生1999"), scores::FindOptions{true, true, true});
}
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond);

} // namespace
