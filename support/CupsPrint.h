// Printing on the desktop's default printer through the print server
// (CUPS): the pages go as one PDF document, and the job is followed until it
// has printed or failed, so that a job the printer refuses, holds or loses is
// never taken for one that printed.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QPageLayout;
class QPainter;
class QPagedPaintDevice;

class PrintJob : public QObject {
    Q_OBJECT
public:
    enum class Stage {
        NotStarted,
        NoPrinter,  // no default printer, or no print server
        Refused,    // the printer did not take the job
        Waiting,    // the job waits: the printer is stopped, or the job held
        OnItsWay,   // the printer has the job
        Printed,
        Failed,     // the job was aborted or cancelled, or no page was made
        Unknown     // the print server stopped answering while the job was followed
    };
    // Draws the pages with the painter on the device (the printer's paper,
    // its origin at the corner of the printable area); false if it could not.
    using DrawPages = std::function<bool(QPainter&, QPagedPaintDevice&)>;

    explicit PrintJob(QObject* parent = nullptr);

    // Draws the pages into a PDF document on the default printer's own paper
    // and sends it there. The first stage is known, and stageChanged has
    // been emitted, when this returns; the job is then followed while this
    // object lives.
    void print(const QString& documentName, const DrawPages& draw);

    Stage stage() const { return stage_; }
    // The printer's name, once one was found.
    QString printer() const { return printer_; }
    // Why the job was refused, waits or failed, in words for a parent.
    QString why() const { return why_; }
    // True once the printer has taken the job, whatever became of it then.
    bool sent() const { return jobId_ != 0; }

    static constexpr int kFollowMs = 300;

signals:
    // Emitted once for every stage the job reaches.
    void stageChanged(PrintJob::Stage stage);

private:
    bool findPrinter(QPageLayout& paper);
    void send(const QString& documentName, const QByteArray& pdf);
    void follow();
    void reach(Stage stage, const QString& why = {});

    Stage stage_ = Stage::NotStarted;
    QString printer_, uri_, why_;
    int jobId_ = 0;
    QTimer timer_;
};
