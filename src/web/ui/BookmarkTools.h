#pragma once

#include "web/model/BookmarkImport.h"
#include "web/model/Bookmarks.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QComboBox;

namespace shell {
class GridView;
}

namespace web {

// The preview of an import: what each page of the file becomes, and
// whether repeated addresses go in too. Nothing is written here; the
// bookmark window writes when the dialog is accepted.
class ImportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ImportPreviewDialog(const ImportPlan& plan, const QString& path, QWidget* parent);
    const ImportPlan& plan() const { return plan_; }
    bool withDuplicates() const;

private:
    ImportPlan plan_;
    QCheckBox* chkWithDuplicates_ = nullptr;
};

// 查找重复网址: the pages that share an address, group by group; the teacher
// merges them (each group keeps its first page) or deletes chosen rows.
class DuplicatesDialog : public QDialog {
    Q_OBJECT
public:
    DuplicatesDialog(QString dbPath, QWidget* parent);
    // Reads the table again and lists what is left.
    void refresh();
    int groupCount() const { return int(groups_.size()); }
    // 合并: every page but the first of each group, after asking.
    void merge();
    // 删除: the rows chosen in the list, after asking.
    void deleteChosen();

signals:
    void changed();

private:
    void removeKeys(const QList<qint64>& keys, const QString& question);

    QString dbPath_;
    QList<QList<Bookmark>> groups_;
    QList<qint64> rowKeys_;
    shell::GridView* grid_ = nullptr;
    QLabel* summary_ = nullptr;
};

// A page's name, category and address edited in place of the record.
class EditBookmarkDialog : public QDialog {
    Q_OBJECT
public:
    EditBookmarkDialog(const Bookmark& page, const QStringList& categories, QWidget* parent);
    QString name() const;
    QString category() const;
    QString address() const;

signals:
    // "确定": the window stores the edit and closes the dialog when it took.
    void confirmed();

private:
    QLineEdit* txtName_ = nullptr;
    QComboBox* cobCategory_ = nullptr;
    QLineEdit* txtAddress_ = nullptr;
};

} // namespace web
