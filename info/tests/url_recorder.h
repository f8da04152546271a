#pragma once
// Receives every address the program hands to the desktop, instead of a
// browser or chat client.

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <vector>

class UrlRecorder : public QObject {
    Q_OBJECT

public:
    UrlRecorder() {
        for (const char* scheme : {"http", "https", "tencent"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "record");
    }
    ~UrlRecorder() override {
        for (const char* scheme : {"http", "https", "tencent"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    std::vector<QUrl> urls;

public slots:
    void record(const QUrl& url) { urls.push_back(url); }
};
