// クラスのきろく: for the teacher, every child of a class folder with the
// passes of the 13 ranges in both answer orders and the rank they earn; the
// class's hard facts as one map; the table as a CSV file and on paper.
#pragma once

#include <QDialog>
#include <string>

#include "main/core/StudyState.h"
#include "windows/core/ClassRecord.h"

class QLabel;
class QPushButton;
class QTableView;
namespace kit {
class CellModel;
}

class TKurasuForm : public QDialog {
    Q_OBJECT
public:
    // folder ends in '/'.
    explicit TKurasuForm(const std::string& folder, QWidget* parent = nullptr);

    const ClassView& view() const { return view_; }

    QLabel* FolderLine = nullptr;
    QTableView* ClassGrid = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* MapButton = nullptr;
    QPushButton* CsvButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // Reads the class folder again, as the children's programs have written it by now.
    void ReloadClick();
    void MapClick();
    // Writes the table to `path` (asked for when empty); true when written.
    bool CsvClick(const QString& path = {});
    bool PrintClick();

private:
    QVariant cellData(int row, int column, int role) const;

    std::string folder_;
    ClassView view_;
    StudyState mapState_;  // the merged map, shown as a child's map is
    kit::CellModel* model_ = nullptr;
};
