#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QRawFont>
#include <QString>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "promo/AdvertWindowCore.h"

class QNetworkReply;

namespace tolvane {

// A light page view: shows the HTML it is given with the images handed to it, and loads
// nothing by itself (no local files, no scripts).
class AdvertBrowser final : public QTextBrowser {
public:
    explicit AdvertBrowser(QWidget* parent);
    void AddImage(const QUrl& url, const QImage& image) { m_images.insert(url, image); }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHash<QUrl, QImage> m_images;
    QImage m_blank;
};

// Gives each character of a page that its font would leave blank (a font may list a character it
// has no drawing for: WenQuanYi Micro Hei's ℃) the first fallback face that draws it. What it
// found is kept for the page's next layout; the looking is bounded, whatever the page holds.
class FallbackFaces {
public:
    void Apply(QTextDocument& document);

private:
    // Per font: its first face, and the family that draws a character in its place (empty
    // where the font draws it itself).
    struct Face {
        QRawFont primary;
        QHash<char32_t, QString> families;
    };
    QHash<QString, Face> m_faces;
    int m_looks = 0;
    int m_searches = 0;
};

// The advert window: "为您推荐", a tool window of 300 × 200 pixels whose page arrives over
// HTTP with its images. The page having arrived is its document complete; a page that fails
// never completes, and the window then stays hidden. Its events go to the advert's logic,
// `core`. Every reply is read as it comes, within a size limit and 10 s, and every picture is
// decoded only when the size it declares fits a budget, whatever the server sends.
// No Q_OBJECT: moc reads only ASCII class names, and lambdas serve every connection here.
class Form_广告 final : public QWidget, public AdvertView {
public:
    explicit Form_广告(AdvertWindowCore& core);

    bool IsOpen() override { return m_open; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using Arrived =
        std::function<void(QNetworkReply& reply, const std::optional<QByteArray>& body)>;
    // `arrived` gets the whole body, or nothing for a failed, cut-off or oversized reply.
    void Get(const QUrl& url, qint64 maxBytes, Arrived arrived);
    void PageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body);
    void ImageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body);
    QImage Decode(const QByteArray& data);
    void Complete();

    void Navigate(std::string_view address) override;
    void Hide() override;
    void Show() override;
    AdvertGeometry Measure() override;
    std::int32_t MeasureTaskbarHeight() override;
    void MoveTo(int left, int top) override;
    void SlideTo(int left, int top) override;
    void OpenInBrowser(std::string_view address) override;

    AdvertWindowCore& m_core;
    QNetworkAccessManager m_network;
    AdvertBrowser* m_browser;
    FallbackFaces m_fallbackFaces;
    QString m_html;
    std::vector<QPointer<QNetworkReply>> m_replies;
    int m_pendingImages = 0;
    qint64 m_pixelsLeft;
    bool m_open = true;
};

}  // namespace tolvane
