#include "qt/FormAdvert.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImageReader>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainterPath>
#include <QRawFont>
#include <QScreen>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

#include "promo/AdvertPage.h"
#include "qt/QtText.h"

namespace tolvane {
namespace {

constexpr qint64 kMaxImageBytes = 2 * 1024 * 1024;
constexpr int kMaxImages = 32;
// For a whole reply, however slowly it trickles in.
constexpr int kTimeoutMs = 10'000;
// What the network layer may hold unread for one reply.
constexpr qint64 kReadBufferBytes = 64 * 1024;
// A page's characters whose drawing is looked at, and of those, how many may be looked for in
// every installed font: a few symbols are what a page has.
constexpr int kMaxCharacterLooks = 256;
constexpr int kMaxFallbackSearches = 16;
// Faces listing such a character that are looked at, in fontconfig's order.
constexpr int kMaxFallbackFaces = 8;
// How long a window manager may take to frame the window before it slides.
constexpr qint64 kFrameWaitMs = 1000;
// Decoded pictures take 4 bytes a pixel: 16 MB for all of them, plenty for a 300 × 200 window.
constexpr qint64 kMaxPicturePixels = 4'000'000;

bool IsWebAddress(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// Whether `face` lists `character` (one code point, `code`) but has no drawing for it:
// WenQuanYi Micro Hei maps ℃ to an empty glyph, and Qt, trusting the list, draws nothing. A
// character the face does not list goes to Qt's own fallback.
bool ListsButLeavesBlank(const QRawFont& face, QStringView character, char32_t code) {
    quint32 glyphs[2] = {};
    int count = 2;
    return face.isValid() && face.supportsCharacter(uint(code)) &&
           face.glyphIndexesForChars(character.data(), int(character.size()), glyphs, &count) &&
           (glyphs[0] == 0 || face.boundingRect(glyphs[0]).isEmpty());
}

// The first face fontconfig falls back on for the character (in its order for a sans-serif
// face) that draws it; empty when none does.
QString FallbackFamily(const QFont& font, QStringView character, char32_t code) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, code);
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* faces = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    QString found;
    for (int i = 0, tried = 0;
         faces != nullptr && i < faces->nfont && found.isEmpty() && tried < kMaxFallbackFaces;
         ++i) {
        FcCharSet* charset = nullptr;
        FcChar8* family = nullptr;
        if (FcPatternGetCharSet(faces->fonts[i], FC_CHARSET, 0, &charset) != FcResultMatch ||
            !FcCharSetHasChar(charset, code) ||
            FcPatternGetString(faces->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) {
            continue;
        }
        ++tried;
        QFont other = font;
        other.setFamilies({QString::fromUtf8(reinterpret_cast<const char*>(family))});
        const QRawFont face = QRawFont::fromFont(other);
        if (face.familyName() == other.families()[0] &&
            !ListsButLeavesBlank(face, character, code)) {
            found = other.families()[0];
        }
    }
    if (faces != nullptr) FcFontSetDestroy(faces);
    return found;
}

}  // namespace

void FallbackFaces::Apply(QTextDocument& document) {
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            // A picture stands in the text as one object character.
            if (fragment.charFormat().isImageFormat()) continue;
            const QString text = fragment.text();
            QFont font;
            Face* face = nullptr;
            for (qsizetype i = 0; i < text.size();) {
                const qsizetype at = i;
                const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                                  text.at(i + 1).isLowSurrogate();
                const char32_t code = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                           : text.at(i).unicode();
                i += pair ? 2 : 1;
                const QStringView character = QStringView(text).mid(at, i - at);
                // Symbols, punctuation and numbers beyond ASCII are where fonts leave gaps; a
                // script's letters are trusted to the font that lists them, and looking at
                // every glyph of a page of Chinese would hold the tray up.
                const QChar::Category category = QChar::category(code);
                if (code < 0x80 || category < QChar::Number_DecimalDigit ||
                    (category > QChar::Number_Other && category < QChar::Punctuation_Connector)) {
                    continue;
                }
                // Only a fragment holding such characters has its font looked at.
                if (face == nullptr) {
                    font = fragment.charFormat().font().resolve(document.defaultFont());
                    face = &m_faces[font.key()];
                    if (!face->primary.isValid()) face->primary = QRawFont::fromFont(font);
                }
                auto found = face->families.constFind(code);
                if (found == face->families.constEnd()) {
                    QString family;
                    // Bounded, whatever the page holds.
                    if (m_looks++ < kMaxCharacterLooks &&
                        ListsButLeavesBlank(face->primary, character, code) &&
                        m_searches++ < kMaxFallbackSearches) {
                        family = FallbackFamily(font, character, code);
                    }
                    found = face->families.insert(code, family);
                }
                if (found->isEmpty()) continue;
                cursor.setPosition(fragment.position() + int(at));
                cursor.setPosition(fragment.position() + int(i), QTextCursor::KeepAnchor);
                QTextCharFormat format;
                format.setFontFamilies(QStringList{*found});
                cursor.mergeCharFormat(format);
            }
        }
    }
}

AdvertBrowser::AdvertBrowser(QWidget* parent)
    : QTextBrowser(parent), m_blank(1, 1, QImage::Format_ARGB32) {
    m_blank.fill(Qt::transparent);
}

QVariant AdvertBrowser::loadResource(int type, const QUrl& name) {
    // Never nothing: QTextDocument would then read a file of that name from this computer (for
    // a picture, under a dozen guessed extensions, each time it lays the page out). A missing
    // picture leaves a gap, as in any browser.
    if (type != QTextDocument::ImageResource) return QByteArray("");
    const auto found = m_images.constFind(document()->baseUrl().resolved(name));
    return found == m_images.constEnd() ? QVariant(m_blank) : QVariant(*found);
}

Form_广告::Form_广告(AdvertWindowCore& core)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_core(core),
      m_browser(new AdvertBrowser(this)),
      m_pixelsLeft(kMaxPicturePixels) {
    setWindowTitle(FromUtf8(kAdvertCaption));
    const int width = TwipsToPixels(kAdvertClientWidthTwips);
    const int height = TwipsToPixels(kAdvertClientHeightTwips);
    setFixedSize(width, height);
    m_browser->setGeometry(TwipsToPixels(kAdvertBrowserLeftTwips), 0, width, height);
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        if (IsWebAddress(url)) QDesktopServices::openUrl(url);
    });
}

void Form_广告::Get(const QUrl& url, qint64 maxBytes, Arrived arrived) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeoutMs);
    QNetworkReply* reply = m_network.get(request);
    m_replies.emplace_back(reply);
    // Read as it comes: the network layer would otherwise keep an endless reply in memory
    // until it ends, and a chunked one tells its size only then.
    reply->setReadBufferSize(kReadBufferBytes);
    auto body = std::make_shared<QByteArray>();
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, maxBytes] {
        body->append(reply->read(maxBytes + 1 - body->size()));
        if (body->size() > maxBytes) reply->abort();
    });
    // The transfer timeout starts again with every byte that arrives; this one does not.
    QTimer::singleShot(kTimeoutMs, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, body, maxBytes, arrived] {
        reply->deleteLater();
        if (reply->error() == QNetworkReply::NoError) {
            body->append(reply->read(maxBytes + 1 - body->size()));
        }
        const bool whole = reply->error() == QNetworkReply::NoError && body->size() <= maxBytes;
        arrived(*reply, whole ? std::optional(*body) : std::nullopt);
    });
}

void Form_广告::Navigate(std::string_view address) {
    Get(QUrl(FromUtf8(address)), qint64{kMaxAdvertPageBytes},
        [this](QNetworkReply& reply, const std::optional<QByteArray>& body) {
            PageArrived(reply, body);
        });
}

void Form_广告::PageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body) {
    if (!m_open || !body) return;
    QStringDecoder decoder = QStringDecoder::decoderForHtml(*body);
    const QString html = decoder.isValid() ? decoder.decode(*body) : QString::fromUtf8(*body);
    m_html = FromUtf8(SanitizeAdvertPage(html.toStdString()));
    QTextDocument* document = m_browser->document();
    document->setBaseUrl(reply.url());
    m_browser->setHtml(m_html);
    m_fallbackFaces.Apply(*document);

    QSet<QUrl> images;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd() && images.size() < kMaxImages; ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QUrl image = document->baseUrl().resolved(QUrl(format.toImageFormat().name()));
            if (IsWebAddress(image)) images.insert(image);
        }
    }
    m_pendingImages = int(images.size());
    if (m_pendingImages == 0) {
        Complete();
        return;
    }
    for (const QUrl& image : images) {
        Get(image, kMaxImageBytes,
            [this](QNetworkReply& reply, const std::optional<QByteArray>& body) {
                ImageArrived(reply, body);
            });
    }
}

QImage Form_广告::Decode(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoding allocates what the picture's header declares: a 60 KB file may ask for 64 MB.
    const QSize size = reader.size();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (!size.isValid() || pixels <= 0 || pixels > m_pixelsLeft) return {};
    QImage image;
    if (!reader.read(&image)) return {};
    m_pixelsLeft -= pixels;
    return image;
}

void Form_广告::ImageArrived(QNetworkReply& reply, const std::optional<QByteArray>& body) {
    if (!m_open) return;
    if (body) {
        const QImage image = Decode(*body);
        if (!image.isNull()) m_browser->AddImage(reply.request().url(), image);
    }
    // A missing picture leaves a gap, as in any browser; the page is still complete.
    if (--m_pendingImages == 0) {
        m_browser->setHtml(m_html);
        m_fallbackFaces.Apply(*m_browser->document());
        Complete();
    }
}

void Form_广告::Complete() {
    m_core.DocumentComplete();
}

void Form_广告::closeEvent(QCloseEvent* event) {
    if (m_open) {
        m_open = false;
        for (const QPointer<QNetworkReply>& reply : m_replies) {
            if (reply != nullptr) reply->abort();
        }
        m_core.Form_Unload();
    }
    event->accept();
}

void Form_广告::Hide() {
    hide();
}

void Form_广告::Show() {
    show();
    // A window manager frames the window only as it maps it: until then its frame is unknown
    // and the slide would place the bare window. Below the screen, the wait shows nothing.
    QElapsedTimer waited;
    waited.start();
    QTimer wake;  // the wait below sleeps until an event, this one at the latest
    wake.start(20);
    while (m_open && windowHandle() != nullptr && !windowHandle()->isExposed() &&
           waited.elapsed() < kFrameWaitMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

AdvertGeometry Form_广告::Measure() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect outer = frameGeometry();
    if (screen == nullptr) return {0, 0, outer.width(), outer.height()};
    const QRect work = screen->availableGeometry();
    return {screen->geometry().width(),
            screen->geometry().height(),
            outer.width(),
            outer.height(),
            kDefaultDpi,
            {work.left(), work.top(), work.width(), work.height()}};
}

std::int32_t Form_广告::MeasureTaskbarHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 0;
    // What panels keep free at the bottom of the screen.
    const int free = screen->geometry().bottom() - screen->availableGeometry().bottom();
    return free > 0 ? free : 0;
}

void Form_广告::MoveTo(int left, int top) {
    move(left, top);
}

void Form_广告::SlideTo(int left, int top) {
    move(left, top);
}

void Form_广告::OpenInBrowser(std::string_view address) {
    QDesktopServices::openUrl(QUrl(FromUtf8(address)));
}

}  // namespace tolvane
