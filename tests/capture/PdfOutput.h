#pragma once
// Printing into a PDF file instead of a printer, and counting the pages that came out.
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>

#include <memory>
#include <string>

// A printer that writes the PDF file `path`.
inline std::unique_ptr<QPrinter> PdfPrinter(const std::string& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    return printer;
}

// The pages of a PDF file: its page objects ("/Type /Page", not the "/Type /Pages" tree nodes); -1 when
// there is no file to read.
inline int PdfPageCount(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return static_cast<int>(
        QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}
