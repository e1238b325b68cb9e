#include "platform/printing.h"

#include "app/texts.h"

#include <QEventLoop>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEngineView>

#include <memory>

namespace orv {
namespace {

PrintDialogHook& printHook()
{
    static PrintDialogHook hook;
    return hook;
}

PreviewDialogHook& previewHook()
{
    static PreviewDialogHook hook;
    return hook;
}

// A dialog title from a menu caption: without access key and dots.
QString dialogTitle(const QString& caption)
{
    QString title = caption;
    title.remove(QLatin1Char('&'));
    while (title.endsWith(QLatin1Char('.')))
        title.chop(1);
    return title;
}

// The print state of one view: the printer of the running print job and
// whether a dialog of the view is open. Lives as a child of the view.
class ViewPrinter : public QObject {
public:
    explicit ViewPrinter(QWebEngineView* view) : QObject(view), m_view(view)
    {
        setObjectName(QStringLiteral("ViewPrinter"));
        // The end of a print job (the preview waits for its prints itself and
        // has no job here).
        connect(view, &QWebEngineView::printFinished, this, [this](bool) { m_job.reset(); });
    }

    static ViewPrinter* of(const QWebEngineView* view)
    {
        return view->findChild<ViewPrinter*>(QStringLiteral("ViewPrinter"),
                                             Qt::FindDirectChildrenOnly);
    }
    static ViewPrinter* ensure(QWebEngineView* view)
    {
        ViewPrinter* printer = of(view);
        return printer ? printer : new ViewPrinter(view);
    }

    bool busy() const { return m_job || m_dialogOpen; }

    bool print()
    {
        if (busy())
            return false;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The view (and this object with it) may go while the dialog is up.
        const QPointer<ViewPrinter> self(this);
        m_dialogOpen = true;
        const bool chosen = RunPrintDialog(*printer, m_view->window());
        if (!self)
            return false;
        m_dialogOpen = false;
        if (!chosen)
            return false;
        m_job = std::move(printer);
        m_view->print(m_job.get());
        return true;
    }

    bool preview()
    {
        if (busy())
            return false;
        QPrinter printer(QPrinter::HighResolution);
        const QPointer<ViewPrinter> self(this);
        m_dialogOpen = true;
        const QPointer<QWebEngineView> view(m_view);
        RunPreviewDialog(printer, m_view->window(), [view](QPrinter* target) {
            if (!view)
                return;
            // The preview paints synchronously, the engine prints in the
            // background: wait here for the end of this one print.
            QEventLoop wait;
            QObject::connect(view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
            QObject::connect(view, &QObject::destroyed, &wait, &QEventLoop::quit);
            view->print(target);
            wait.exec();
        });
        if (self)
            m_dialogOpen = false;
        return true;
    }

private:
    QWebEngineView* m_view;
    std::unique_ptr<QPrinter> m_job;
    // A print dialog or the preview is open.
    bool m_dialogOpen = false;
};

} // namespace

void SetPrintDialogHook(PrintDialogHook hook)
{
    printHook() = std::move(hook);
}

void SetPreviewDialogHook(PreviewDialogHook hook)
{
    previewHook() = std::move(hook);
}

bool RunPrintDialog(QPrinter& printer, QWidget* parent)
{
    if (printHook())
        return printHook()(printer, parent);
    QPrintDialog dialog(&printer, parent);
    const QString title = dialogTitle(Txt(612));
    dialog.setWindowTitle(title);
    dialog.setAccessibleName(title);
    return dialog.exec() == QDialog::Accepted;
}

void RunPreviewDialog(QPrinter& printer, QWidget* parent, const PaintPages& paint)
{
    if (previewHook()) {
        previewHook()(printer, parent, paint);
        return;
    }
    QPrintPreviewDialog dialog(&printer, parent);
    const QString title = dialogTitle(Txt(613));
    dialog.setWindowTitle(title);
    dialog.setAccessibleName(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(target); });
    dialog.exec();
}

bool PrintView(QWebEngineView* view)
{
    return view && ViewPrinter::ensure(view)->print();
}

bool PreviewView(QWebEngineView* view)
{
    return view && ViewPrinter::ensure(view)->preview();
}

bool IsPrinting(const QWebEngineView* view)
{
    const ViewPrinter* printer = view ? ViewPrinter::of(view) : nullptr;
    return printer && printer->busy();
}

} // namespace orv
