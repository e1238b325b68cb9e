#pragma once

#include <functional>

class QPrinter;
class QWebEngineView;
class QWidget;

namespace orv {

// Printing of web pages. The modal print dialogs sit behind hooks that tests
// replace; an empty hook means the real dialog.

// The print dialog for `printer`: true when the user chose to print (the
// printer then holds the chosen settings).
using PrintDialogHook = std::function<bool(QPrinter& printer, QWidget* parent)>;
// The print preview: shows the pages that `paint` renders onto the printer it
// is handed (as often as the preview asks) until the user closes it.
using PaintPages = std::function<void(QPrinter* printer)>;
using PreviewDialogHook =
    std::function<void(QPrinter& printer, QWidget* parent, const PaintPages& paint)>;

void SetPrintDialogHook(PrintDialogHook hook);
void SetPreviewDialogHook(PreviewDialogHook hook);

bool RunPrintDialog(QPrinter& printer, QWidget* parent);
void RunPreviewDialog(QPrinter& printer, QWidget* parent, const PaintPages& paint);

// Prints the page of `view` after the print dialog. The page is printed in
// the background; the printer lives until the view reports printFinished.
// One print per view at a time: false when a print or preview of the view
// is still running or the dialog was cancelled.
bool PrintView(QWebEngineView* view);
// The print preview of the page of `view` (modal). False when a print or
// preview of the view is still running.
bool PreviewView(QWebEngineView* view);
// Whether a print or preview of `view` is running.
bool IsPrinting(const QWebEngineView* view);

} // namespace orv
