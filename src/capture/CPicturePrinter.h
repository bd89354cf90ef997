#pragma once
// Prints pictures: the standard print dialog to choose the printer and the number of copies, then every
// picture on a page of its own, drawn as large as the printable area allows with its proportions kept and
// centred on the page. Pictures that cannot be read are left out; nothing is said about them.
//
// The dialog step can be replaced (tests, automation) by a hook that gives the printer to print on.
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QImage;
class QPrinter;
class QWidget;

class CPicturePrinter {
public:
    // The side a picture is read at most, whatever its real size: plenty for a page at photo resolution and
    // bounded in memory for a huge or hostile file.
    static constexpr int kMaxPictureSide = 4096;

    // The printer chosen by the user, or null when the dialog was cancelled.
    using PrinterChooser = std::function<std::unique_ptr<QPrinter>(QWidget* parent)>;
    // An empty hook restores the standard print dialog.
    static void SetPrinterChooserHook(PrinterChooser hook);

    // Shows the print dialog (no page numbers, no selection, no print-to-file; copies and collation kept).
    static std::unique_ptr<QPrinter> ChoosePrinter(QWidget* parent);

    // Prints the pictures on `printer`, one page each (and once per copy when the printer cannot make the
    // copies itself). The number of pictures printed; 0 when none could be read or the printer could not
    // start, in which case nothing is printed.
    static int Print(QPrinter& printer, const std::vector<std::string>& paths);

    // A picture read for printing, turned upright as its camera recorded it, at most kMaxPictureSide wide
    // and high; a null image when it cannot be read.
    static QImage LoadPicture(const std::string& path);
    // Where a picture of `picture` size goes in `area`: as large as fits, proportions kept, centred.
    static QRect FitRect(const QSize& picture, const QRect& area);
};
