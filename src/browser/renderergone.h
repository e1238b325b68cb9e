#pragma once

#include <QWebEnginePage>
#include <QWidget>

class QLabel;

namespace orv {

// What a browser window shows in place of its page when the process that
// rendered the page ended (a crash, or the system ended it for lack of
// memory): what happened, the page's address, and a button that loads the
// page again. Only that window is concerned; the others go on.
class RendererGonePanel : public QWidget {
    Q_OBJECT
public:
    explicit RendererGonePanel(QWidget* parent);

    // Fills the panel for a renderer that ended with `status` while showing
    // `address`.
    void Tell(QWebEnginePage::RenderProcessTerminationStatus status, const QString& address);

    // The German reason shown for `status`.
    static QString Reason(QWebEnginePage::RenderProcessTerminationStatus status);

Q_SIGNALS:
    // The user asks to load the page again.
    void reloadRequested();

private:
    QLabel* m_reason = nullptr;
    QLabel* m_address = nullptr;
};

} // namespace orv
