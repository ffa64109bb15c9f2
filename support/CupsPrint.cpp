#include "support/CupsPrint.h"

#include <cups/cups.h>

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

using Ipp = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

// One request to the print server about a printer, or one of its jobs.
Ipp ask(ipp_op_t operation, const QString& printerUri, int jobId, const std::vector<const char*>& attributes) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.toUtf8().constData());
    if (jobId) ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(attributes.size()),
                  nullptr, attributes.data());
    Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), ippDelete);
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING) response.reset();
    return response;
}

int enumValue(ipp_t* ipp, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(ipp, name, IPP_TAG_ENUM);
    return a ? ippGetInteger(a, 0) : 0;
}

QString textValue(ipp_t* ipp, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    const char* s = a ? ippGetString(a, 0, nullptr) : nullptr;
    return s ? QString::fromUtf8(s).trimmed() : QString();
}

int integerValue(ipp_t* collection, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(collection, name, IPP_TAG_INTEGER);
    return a ? ippGetInteger(a, 0) : 0;
}

// "プリンタが止められています（paused）。": a reason, and the printer's own
// words when it gave some.
QString reason(const char* what, const QString& printerSays = {}) {
    return printerSays.isEmpty() || printerSays == "none" ? u(what) + u("。")
                                                          : u(what) + u("（") + printerSays + u("）。");
}

struct PrinterNow {
    int state = 0;
    QString message;
};

PrinterNow printerNow(const QString& uri) {
    Ipp r = ask(IPP_OP_GET_PRINTER_ATTRIBUTES, uri, 0, {"printer-state", "printer-state-message"});
    if (!r) return {};
    return {enumValue(r.get(), "printer-state"), textValue(r.get(), "printer-state-message")};
}

QPageLayout layoutOf(double widthMm, double lengthMm, const QMarginsF& marginsMm) {
    return QPageLayout(QPageSize(QSizeF(widthMm, lengthMm), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       QPageLayout::Portrait, marginsMm, QPageLayout::Millimeter);
}

QPageLayout layoutOf(const cups_size_t& s) {
    return layoutOf(s.width / 100.0, s.length / 100.0,
                    QMarginsF(s.left / 100.0, s.top / 100.0, s.right / 100.0, s.bottom / 100.0));
}

// The paper a job gets when it asks for none: the user's own choice of
// media for this printer, else the printer's default, with the edges it
// cannot print as margins. A4 where the printer says nothing.
QPageLayout paperOf(cups_dest_t* dest) {
    std::unique_ptr<cups_dinfo_t, decltype(&cupsFreeDestInfo)> info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest),
                                                                       cupsFreeDestInfo);
    cups_size_t size;
    const char* chosen = cupsGetOption("media", dest->num_options, dest->options);
    if (info && chosen && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info.get(), chosen, 0, &size))
        return layoutOf(size);
    if (info) {
        // The default as a size: a printer whose default has no name says it
        // only this way.
        ipp_attribute_t* col = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info.get(), "media-col");
        ipp_t* media = col ? ippGetCollection(col, 0) : nullptr;
        ipp_attribute_t* sizeAttr = media ? ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
        ipp_t* dims = sizeAttr ? ippGetCollection(sizeAttr, 0) : nullptr;
        if (dims && integerValue(dims, "x-dimension") > 0 && integerValue(dims, "y-dimension") > 0)
            return layoutOf(integerValue(dims, "x-dimension") / 100.0, integerValue(dims, "y-dimension") / 100.0,
                            QMarginsF(integerValue(media, "media-left-margin") / 100.0,
                                      integerValue(media, "media-top-margin") / 100.0,
                                      integerValue(media, "media-right-margin") / 100.0,
                                      integerValue(media, "media-bottom-margin") / 100.0));
        ipp_attribute_t* named = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info.get(), "media");
        const char* name = named ? ippGetString(named, 0, nullptr) : nullptr;
        if (name && *name && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info.get(), name, 0, &size))
            return layoutOf(size);
    }
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

bool ended(PrintJob::Stage stage) {
    return stage != PrintJob::Stage::Waiting && stage != PrintJob::Stage::OnItsWay;
}

}  // namespace

PrintJob::PrintJob(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(kFollowMs);
    connect(&timer_, &QTimer::timeout, this, &PrintJob::follow);
}

bool PrintJob::findPrinter(QPageLayout& paper) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        reach(Stage::NoPrinter);
        return false;
    }
    printer_ = QString::fromUtf8(dest->name);
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    uri_ = uri ? QString::fromUtf8(uri) : QStringLiteral("ipp://localhost/printers/") + printer_;
    paper = paperOf(dest);
    cupsFreeDests(1, dest);
    return true;
}

void PrintJob::print(const QString& documentName, const DrawPages& draw) {
    QPageLayout paper;
    if (!findPrinter(paper)) return;
    // Qt's print support draws the pages into a PDF file; the print server
    // takes that, so that what becomes of the job is known.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("document.pdf"));
    bool drawn = false;
    if (folder.isValid()) {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(path);
        pdf.setDocName(documentName);
        pdf.setCreator(QStringLiteral("tateyokom"));
        QPainter painter;
        if (pdf.setPageLayout(paper) && painter.begin(&pdf)) {
            drawn = draw(painter, pdf);
            drawn = painter.end() && drawn;
        }
    }
    QFile file(path);
    if (!drawn || !file.open(QIODevice::ReadOnly)) return reach(Stage::Failed, reason("印刷するページを作れませんでした"));
    send(documentName, file.readAll());
}

void PrintJob::send(const QString& documentName, const QByteArray& pdf) {
    const QByteArray name = printer_.toUtf8(), title = documentName.toUtf8();
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.constData(), 0, nullptr);
    bool whole = id != 0 && cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), id, title.constData(),
                                              CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = 65536;
    for (qsizetype at = 0; whole && at < pdf.size(); at += kChunk)
        whole = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData() + at, size_t(qMin(kChunk, pdf.size() - at))) ==
                HTTP_STATUS_CONTINUE;
    if (id) whole = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) <= IPP_STATUS_OK_CONFLICTING && whole;
    if (!whole) {
        const ipp_status_t status = cupsLastError();
        const QString said = QString::fromUtf8(cupsLastErrorString());
        if (id) cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), id, 0);
        if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
            return reach(Stage::Refused,
                         reason("プリンタが印刷を受け付けない設定になっています", printerNow(uri_).message));
        return reach(Stage::Refused, reason("プリンタに送れませんでした", said));
    }
    jobId_ = id;
    follow();
}

void PrintJob::follow() {
    Ipp job = ask(IPP_OP_GET_JOB_ATTRIBUTES, uri_, jobId_, {"job-state", "job-printer-state-message"});
    // A server that no longer answers, or has forgotten the job, can no
    // longer say whether it printed: the parent should look.
    if (!job) {
        reach(Stage::Unknown, reason("印刷サーバーから返事がありません"));
        return;
    }
    const QPointer<PrintJob> alive(this);
    switch (enumValue(job.get(), "job-state")) {
    case IPP_JSTATE_COMPLETED:
        reach(Stage::Printed);
        break;
    case IPP_JSTATE_ABORTED:
        reach(Stage::Failed, reason("プリンタでエラーが起きました", textValue(job.get(), "job-printer-state-message")));
        break;
    case IPP_JSTATE_CANCELED:
        reach(Stage::Failed, reason("印刷が取り消されました"));
        break;
    case IPP_JSTATE_HELD:
        reach(Stage::Waiting, reason("印刷が保留になっています"));
        break;
    case IPP_JSTATE_PENDING:
    case IPP_JSTATE_STOPPED: {
        const PrinterNow now = printerNow(uri_);
        if (now.state == IPP_PSTATE_STOPPED)
            reach(Stage::Waiting, reason("プリンタが止められています", now.message));
        else
            reach(Stage::OnItsWay);
        break;
    }
    default:
        reach(Stage::OnItsWay);
    }
    if (alive && !ended(stage_)) timer_.start();
}

void PrintJob::reach(Stage stage, const QString& why) {
    if (stage == stage_) return;
    stage_ = stage;
    why_ = why;
    emit stageChanged(stage);
}
