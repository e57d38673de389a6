// libupdate.so: Tolvane's update check. DoUpdate returns at once; a thread of its own fetches
// the description with libcurl (https only, the certificate checked against the system's
// authorities, 10 s for the whole exchange, at most 64 KiB) and, when it offers a higher version
// on the description's own host that the user has not declined before, the GUI thread asks the
// user, without blocking anything else, whether to open the download page. Nothing is
// downloaded or installed here, and a failure of any kind shows nothing.
#include <curl/curl.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "about/Version.h"
#include "promo/UpdateCheck.h"
#include "qt/LinuxUserEnvironment.h"

namespace {

std::atomic<bool> g_started{false};

// The one check of this process. The GUI thread stops it when the program quits, so no fetch
// outlives the event loop and no offer is posted to an application that is going away.
struct Check {
    std::string address;
    std::string statePath;  // empty when the program's folder is unknown
    std::mutex mutex;
    std::condition_variable finished;
    CURLM* multi = nullptr;
    bool stopping = false;
    bool done = false;
    std::thread worker;
    QPointer<QMessageBox> offer;  // GUI thread only
};

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

std::size_t Append(char* data, std::size_t size, std::size_t count, void* target) {
    auto& body = *static_cast<std::string*>(target);
    const std::size_t bytes = size * count;
    // Returning less than was given ends the transfer with an error.
    if (body.size() + bytes > tolvane::kMaxUpdateDescriptionBytes) return 0;
    body.append(data, bytes);
    return bytes;
}

// The body of a 200 reply, or nothing.
std::optional<std::string> Fetch(Check& check) {
    const std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    if (!easy) return std::nullopt;
    std::string body;
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, check.address.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(e, CURLOPT_SSLVERSION, long{CURL_SSLVERSION_TLSv1_2});
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, long{tolvane::kUpdateTimeoutMs});
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{tolvane::kMaxUpdateDescriptionBytes});
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Tolvane-Update/" TOLVANE_VERSION_TEXT);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);
    if (curl_multi_add_handle(check.multi, e) != CURLM_OK) return std::nullopt;

    int running = 1;
    while (running > 0) {
        {
            const std::lock_guard lock(check.mutex);
            if (check.stopping) break;
        }
        if (curl_multi_perform(check.multi, &running) != CURLM_OK) break;
        // Bounded by the transfer's own timeout; a stop wakes it at once.
        if (running > 0 && curl_multi_poll(check.multi, nullptr, 0, 1000, nullptr) != CURLM_OK) {
            break;
        }
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(check.multi, &left)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
    }
    curl_multi_remove_handle(check.multi, e);
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    if (result != CURLE_OK || status != 200) return std::nullopt;
    return body;
}

// The folder that holds Value.ini: the program's own, or the user's where a package installed it.
std::string SettingsFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    if (slash == std::string::npos) return {};
    return tolvane::PlacesOf({program.substr(0, slash == 0 ? 1 : slash), '/'}).settings.path;
}

std::string ReadState(const std::string& path) {
    std::string state;
    if (std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        state.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
        std::fclose(file);
    }
    return state;
}

// Whole or not at all: written beside, then moved over the old one.
void WriteState(const std::string& path, const std::string& state) {
    if (path.empty()) return;
    const std::string temporary = path + ".tmp";
    // A user's settings folder is made at the first save, as the program makes it.
    ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return;
    const bool written = std::fwrite(state.data(), 1, state.size(), file) == state.size();
    if (std::fclose(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0) {
        return;
    }
    std::remove(temporary.c_str());
}

// On the GUI thread: a question that blocks nothing, so the tray still speaks and its menu
// still opens while it waits for an answer. 否 (or the close box) is remembered.
void ShowOffer(Check& check, const QString& text, const QUrl& download,
               const std::string& declined) {
    const QString caption = QString::fromUtf8(tolvane::kUpdateOfferCaption.data(),
                                              qsizetype(tolvane::kUpdateOfferCaption.size()));
    auto* box = new QMessageBox(QMessageBox::Information, caption, text,
                                QMessageBox::Yes | QMessageBox::No);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box->button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [box, download, path = check.statePath, declined](QAbstractButton* button) {
                         if (box->standardButton(button) == QMessageBox::Yes) {
                             QDesktopServices::openUrl(download);
                         } else {
                             WriteState(path, declined);
                         }
                     });
    check.offer = box;
    box->show();
}

void Run(Check* check) {
    const auto description = Fetch(*check);
    auto offer = description
                     ? tolvane::UpdateOfferFor(*description, TOLVANE_VERSION_TEXT, check->address)
                     : std::nullopt;
    if (offer && tolvane::DeclinedBefore(*offer, ReadState(check->statePath))) offer.reset();
    const std::lock_guard lock(check->mutex);
    QCoreApplication* application = QCoreApplication::instance();
    if (offer && !check->stopping && application != nullptr) {
        const QString text =
            QString::fromStdString(tolvane::UpdateOfferText(*offer, TOLVANE_VERSION_TEXT));
        const QUrl download(QString::fromStdString(offer->downloadAddress));
        const std::string declined = tolvane::DeclinedUpdateState(offer->version);
        QMetaObject::invokeMethod(
            application,
            [check, text, download, declined] { ShowOffer(*check, text, download, declined); },
            Qt::QueuedConnection);
    }
    check->done = true;
    check->finished.notify_all();
}

// On the GUI thread as the event loop ends: the transfer is cut and the offer closed.
void Stop(Check& check) {
    delete check.offer.data();
    std::unique_lock lock(check.mutex);
    check.stopping = true;
    curl_multi_wakeup(check.multi);
    // Not longer: the program's exit waits for this.
    const bool finished = check.finished.wait_for(lock, std::chrono::milliseconds(100),
                                                  [&check] { return check.done; });
    lock.unlock();
    // A worker still busy (in a name lookup, say) is left to end with the process.
    if (finished) {
        check.worker.join();
    } else {
        check.worker.detach();
    }
}

}  // namespace

// The window handle has no meaning here (0); the address is valid only during the call.
extern "C" __attribute__((visibility("default"))) void DoUpdate(std::uint32_t /*window*/,
                                                                const char* address) {
    if (address == nullptr || g_started.exchange(true)) return;
    // Here, on the calling thread: libcurl's set-up must not race another thread's.
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return;
    // Never freed: a worker left running at exit may still touch it.
    auto* check = new Check;
    check->address = address;
    const std::string folder = SettingsFolder();
    if (!folder.empty()) check->statePath = tolvane::UpdateStatePath(folder, '/');
    check->multi = curl_multi_init();
    if (check->multi == nullptr) return;
    try {
        check->worker = std::thread(Run, check);
    } catch (...) {
        // No thread, no check: the program goes on as without the library.
        return;
    }
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QObject::connect(application, &QCoreApplication::aboutToQuit, application,
                         [check] { Stop(*check); });
    }
}
