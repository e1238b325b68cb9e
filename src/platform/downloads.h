#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace orv {

// The progress of one download in a small window of its own: file name,
// progress bar and a button that cancels the download. The window closes
// itself when the download ends; a download that failed or was cancelled
// other than by its button is reported through the dialog seam.
class DownloadProgress : public QWidget {
    Q_OBJECT
public:
    DownloadProgress(QWebEngineDownloadRequest* request, QWidget* parent);

    QWebEngineDownloadRequest* request() const { return m_request; }
    QPushButton* cancelButton() const { return m_cancel; }
    QProgressBar* progressBar() const { return m_bar; }

private:
    void update();
    void finish();

    QPointer<QWebEngineDownloadRequest> m_request;
    QLabel* m_name = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelledByUser = false;
};

// The downloads of one profile. Every download request is decided in the
// slot: the user picks a place to save through the dialog seam (a cancelled
// dialog cancels the download), then the request is accepted and its
// progress shown. Downloads that arrive already accepted (a saved page) only
// get their progress. One handler per profile, a child of the profile.
class Downloads : public QObject {
    Q_OBJECT
public:
    // The handler of `profile`, made and connected on first use.
    static Downloads* Install(QWebEngineProfile* profile);

Q_SIGNALS:
    // A download was accepted (or arrived accepted) and shows its progress.
    void started(QWebEngineDownloadRequest* request, DownloadProgress* progress);

private:
    explicit Downloads(QWebEngineProfile* profile);
    void onDownloadRequested(QWebEngineDownloadRequest* request);
    void showProgress(QWebEngineDownloadRequest* request);
};

} // namespace orv
