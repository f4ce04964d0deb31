#include <QApplication>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "product.h"
#include "window/qt/converter_window.h"

namespace {

const char* programName = product::kExecutable;
// The displays named for the platforms Qt would try.
QByteArray xName;
QByteArray waylandName;

bool Wants(const char* platform) {
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    return asked.isEmpty() || asked.contains(platform);
}

// The compositor's socket, in XDG_RUNTIME_DIR unless the name is a path.
bool WaylandReachable(const QByteArray& name) {
    const QByteArray path = name.startsWith('/') ? name : qgetenv("XDG_RUNTIME_DIR") + '/' + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached =
        socket >= 0 &&
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0) ::close(socket);
    return reached;
}

[[noreturn]] void SayNoDisplay() {
    std::string reason;
    if (!xName.isEmpty()) reason = "DISPLAY=" + xName.toStdString();
    if (!waylandName.isEmpty()) {
        reason += (reason.empty() ? "WAYLAND_DISPLAY=" : " und WAYLAND_DISPLAY=") +
                  waylandName.toStdString();
    }
    if (!reason.empty()) {
        reason += xName.isEmpty() || waylandName.isEmpty() ? " ist nicht nutzbar"
                                                          : " sind nicht nutzbar";
    } else if (Wants("xcb") || Wants("wayland")) {
        reason = !Wants("wayland") ? "DISPLAY ist nicht gesetzt"
                 : !Wants("xcb")   ? "WAYLAND_DISPLAY ist nicht gesetzt"
                                   : "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
    } else {
        reason = "keine nutzbare Qt-Plattform";
    }
    // argv[0] names the program as it was started, from the build folder or installed.
    std::fprintf(stderr, "%s: keine Anzeige (%s); ohne Bildschirm so starten: xvfb-run -a %s\n",
                 product::kExecutable, reason.c_str(), programName);
    std::_Exit(1);
}

// While Qt opens the display. Where it can open none (an X server gone, a Wayland session
// without Qt's Wayland plugin), Qt ends with a core dump and a page of advice; the platform
// plugins' complaints lead up to that, or to Qt's fallback from one platform to the next.
QtMessageHandler qtMessages = nullptr;
void OpeningDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) SayNoDisplay();
    if (context.category == nullptr || std::strncmp(context.category, "qt.qpa.", 7) != 0) {
        qtMessages(type, context, text);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 0) programName = argv[0];
    xName = Wants("xcb") ? qgetenv("DISPLAY") : QByteArray();
    waylandName = Wants("wayland") ? qgetenv("WAYLAND_DISPLAY") : QByteArray();
    // Nothing to try; and a compositor that is gone would have the Wayland library complain on
    // its own before Qt goes on to X.
    if (xName.isEmpty() && (waylandName.isEmpty() || !WaylandReachable(waylandName))) {
        if (Wants("xcb") || Wants("wayland")) SayNoDisplay();
    } else if (!waylandName.isEmpty() && !WaylandReachable(waylandName)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    qtMessages = qInstallMessageHandler(OpeningDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtMessages);
    QApplication::setApplicationName(QString::fromUtf8(product::kName));
    QApplication::setOrganizationName(QString::fromUtf8(product::kOrganization));
    QApplication::setApplicationVersion(QString::fromUtf8(product::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(product::kApplicationId));

    ConverterWindow window;
    window.show();

    return QApplication::exec();
}
