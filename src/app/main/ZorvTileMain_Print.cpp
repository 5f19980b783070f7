// File > Print...: prints the image on one page at the size the print options dialog chose.
#include "app/dialogs/PrintOptions.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cfloat>
#include <cmath>
#include <stdexcept>

void TfZorvTile::Print1Click() {
    Guarded([this] {
        if (!fPrint || fPrint->Execute() != mrOk) return;

        // Every number is read before anything is asked or printed: a bad one ends the command.
        PrintLayout layout;
        layout.size = fPrint->rgSize->ItemIndex();
        layout.align = fPrint->rgAlign->ItemIndex();
        const double scale = StrToFloat(fPrint->eScale->text());
        // The factor is a Single: a value beyond its range would not convert.
        if (std::fabs(scale) > FLT_MAX)
            throw std::runtime_error(
                QStringLiteral("Floating point overflow: the scaling factor %1 is too large")
                    .arg(fPrint->eScale->text())
                    .toStdString());
        layout.scale = static_cast<float>(scale);
        if (layout.scale == 0.0f) layout.scale = 0.1f;
        if (layout.size == 1 || layout.size == 3 || layout.size == 4) {
            layout.wideInches = StrToFloat(fPrint->eWide->text());
            layout.highInches = StrToFloat(fPrint->eHigh->text());
        }
        layout.imageWidth = z.Width;
        layout.imageHeight = z.Height;
        layout.screenPpiX = TfPrint::ScreenPpiX();
        layout.screenPpiY = TfPrint::ScreenPpiY();

        // A fresh printer for every job, started from the set-up dialog's choices; printing goes
        // straight to it (without a set-up, to the system's default printer).
        if (!fPrint->SetupChosen() && QPrinterInfo::defaultPrinter().isNull())
            throw std::runtime_error("No printer is installed. Choose where to print with the Setup.. "
                                     "button of the print options.");
        QPrinter printer(QPrinter::HighResolution);
        fPrint->ApplySetup(printer);
        fPrint->PrintedOrientation =
            fPrint->rgOrient->ItemIndex() == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
        printer.setPageOrientation(fPrint->PrintedOrientation);

        layout.printerPpiX = printer.logicalDpiX();
        layout.printerPpiY = printer.logicalDpiY();
        layout.pageWidth = printer.width();
        layout.pageHeight = printer.height();
        const QRect target = PrintTargetRect(layout);
        if (target.isNull())
            throw std::runtime_error(
                "Nothing can be printed at this size: the scaling factor and the size in "
                "inches must give a positive size that fits a printer page.");

        fPrint->DrawBox = layout.size == 3 || layout.size == 4;
        fPrint->PrintedRect = target;
        CopyFB(cb, z);
        QPainter canvas;
        if (!canvas.begin(&printer))
            throw std::runtime_error(QStringLiteral("The printer %1 could not start the print job.")
                                         .arg(printer.outputFormat() == QPrinter::PdfFormat
                                                  ? printer.outputFileName()
                                                  : printer.printerName())
                                         .toStdString());
        PrintBitmap(canvas, target, cb, fPrint->DrawBox);
        if (!canvas.end()) throw std::runtime_error("The print job could not be finished.");
    });
}
