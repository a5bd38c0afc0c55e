#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QTableView;
class QPushButton;
class QTimer;

namespace shell {

class FileSearch;
class PathListModel;

// What the finder is opened for: the name to look for and the settings key
// the chosen path is stored under.
struct FinderPreset {
    QString searchName;
    QString key;
};

// "文件查找": searches a mounted file system for names matching a pattern
// and stores the chosen path as the program of one Tools-menu entry. The
// search runs on this thread in slices of a few milliseconds from the event
// loop, so the window repaints and "停止" is answered between two slices.
class frmFindFile : public QWidget {
    Q_OBJECT
public:
    explicit frmFindFile(QWidget* parent = nullptr);
    ~frmFindFile() override;

    // Takes the name to look for and the settings key the chosen path goes
    // to; a running search is stopped first.
    void applyPreset(const FinderPreset& preset);
    // Chooses the folder to search from; one that is not a mounted file
    // system is added to the list.
    void setRoot(const QString& folder);
    QString rootText() const { return root_; }
    bool searching() const { return searching_; }
    // Length of one slice of searching (default 15 ms).
    void setSliceMilliseconds(int ms) { sliceMs_ = ms; }
    // The longest time one slice held the event loop in the last search.
    qint64 longestSliceMs() const { return longestSlice_; }

    // The paths listed, in order.
    QStringList foundPaths() const;

Q_SIGNALS:
    // The chosen path, once it is stored under `key`.
    void pathChosen(const QString& key, const QString& path);
    void sliceDone();
    void searchFinished();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void startSearch();
    void stopSearch();
    void runSlice();
    void endSearch();
    // Adds the names found since the last time to the list.
    void showFound();
    void driveChanged();
    void selectionChanged();
    void accept();

    QComboBox* Combo1_ = nullptr;
    QComboBox* Drive1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QPushButton* Command4_ = nullptr;
    QTableView* List1_ = nullptr;
    PathListModel* found_ = nullptr;
    QLabel* labFindedName_ = nullptr;
    QLabel* labFindingName_ = nullptr;
    QTimer* slices_ = nullptr;

    std::unique_ptr<FileSearch> search_;
    // Found but not listed yet: the list takes them a few times a second.
    QStringList unshown_;
    QElapsedTimer shown_;
    static constexpr int kShowEveryMs = 100;
    QString root_ = QStringLiteral("/");
    QString pattern_;
    QString key_;
    QString chosen_;
    bool searching_ = false;
    int sliceMs_ = 15;
    qint64 longestSlice_ = 0;
};

} // namespace shell
