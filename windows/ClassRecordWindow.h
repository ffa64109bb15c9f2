// クラスのきろく: for the teacher, every child of a class folder with the
// passes of the 13 ranges in both answer orders and the rank they earn; the
// class's hard facts as one map; the table as a CSV file and on paper.
// A class of a thousand takes a while to read from a share: it is read
// beside the window, which shows how far it has got and stays free.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "main/core/StudyState.h"
#include "windows/core/ClassRecord.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QThread;
class QTimer;
struct ClassReading;
namespace kit {
class CellModel;
}

class ClassRecordWindow : public QDialog {
    Q_OBJECT
public:
    // folder ends in '/'.
    explicit ClassRecordWindow(const std::string& folder, QWidget* parent = nullptr);
    ~ClassRecordWindow() override;

    const ClassView& view() const { return view_; }

    QLabel* FolderLine = nullptr;
    QProgressBar* ReadingBar = nullptr;  // shown while the folder is read
    QTableView* ClassGrid = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* MapButton = nullptr;
    QPushButton* CsvButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // Reads the class folder again, as the children's programs have written it by now.
    void ReloadClick();
    // Waits for a reading under way and shows what it read; false when it
    // took longer than ms.
    bool waitUntilRead(int ms = 60'000);
    void MapClick();
    // Writes the table to `path` (asked for when empty); true when written.
    bool CsvClick(const QString& path = {});
    bool PrintClick();

private:
    QVariant cellData(int row, int column, int role) const;
    void showRead();
    void showProgress();
    void setReading(bool reading);

    std::string folder_;
    ClassView view_;
    StudyState mapState_;  // the merged map, shown as a child's map is
    kit::CellModel* model_ = nullptr;
    std::shared_ptr<ClassReading> reading_;
    QThread* reader_ = nullptr;
    QTimer* progressTimer_ = nullptr;
};
