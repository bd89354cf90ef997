#include "capture/CPicturePrinter.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

CPicturePrinter::PrinterChooser& ChooserHook() {
    static CPicturePrinter::PrinterChooser hook;
    return hook;
}

} // namespace

void CPicturePrinter::SetPrinterChooserHook(PrinterChooser hook) {
    ChooserHook() = std::move(hook);
}

std::unique_ptr<QPrinter> CPicturePrinter::ChoosePrinter(QWidget* parent) {
    if (ChooserHook())
        return ChooserHook()(parent);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, true);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

QImage CPicturePrinter::LoadPicture(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide))
        reader.setScaledSize(size.scaled(kMaxPictureSide, kMaxPictureSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    return image;
}

QRect CPicturePrinter::FitRect(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    const QPoint offset((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2);
    return QRect(area.topLeft() + offset, fitted);
}

int CPicturePrinter::Print(QPrinter& printer, const std::vector<std::string>& paths) {
    // A printer that cannot make copies itself (a PDF file) gets each page as often as asked for, in the
    // order the user asked for: whole sets when collated, else each page repeated.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    QPainter painter;
    bool started = false;
    bool firstPage = true;
    int printed = 0;

    auto printPage = [&](const QImage& picture) {
        if (!started) {
            if (!painter.begin(&printer))
                return false;
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            started = true;
        }
        if (!firstPage && !printer.newPage())
            return false;
        firstPage = false;
        // The painter's origin is the corner of the printable area.
        const QRect area(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
        painter.drawImage(FitRect(picture.size(), area), picture);
        return true;
    };

    const int sets = collate ? copies : 1;
    const int repeats = collate ? 1 : copies;
    for (int set = 0; set < sets; ++set) {
        for (const std::string& path : paths) {
            const QImage picture = LoadPicture(path);
            if (picture.isNull())
                continue;
            for (int r = 0; r < repeats; ++r) {
                if (!printPage(picture)) {
                    if (started)
                        printer.abort();
                    return 0;
                }
            }
            if (set == 0)
                ++printed;
        }
    }
    if (started)
        painter.end();
    return printed;
}
