#include <QApplication>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "product.h"
#include "window/qt/converter_window.h"

namespace {

const char* programName = product::kExecutable;

bool XServerReachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
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

// The displays named for the platforms Qt would try, with the verb that agrees: "DISPLAY=:0 und
// WAYLAND_DISPLAY=wayland-0 sind"; empty when none is named.
std::string NamedDisplays(const QByteArray& xName, const QByteArray& waylandName) {
    std::string names;
    if (!xName.isEmpty()) names = "DISPLAY=" + xName.toStdString();
    if (!waylandName.isEmpty()) {
        names += (names.empty() ? "WAYLAND_DISPLAY=" : " und WAYLAND_DISPLAY=") +
                 waylandName.toStdString();
    }
    if (names.empty()) return names;
    return names + (xName.isEmpty() || waylandName.isEmpty() ? " ist" : " sind");
}

bool Wants(const char* platform) {
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    return asked.isEmpty() || asked.contains(platform);
}

// Why no display can be reached, or nothing. Looks only where Qt would: the X server that DISPLAY
// names and the Wayland compositor that WAYLAND_DISPLAY names, or the one QT_QPA_PLATFORM asks
// for; other platforms it asks for are left to Qt.
std::string UnreachableDisplay() {
    const bool anyPlatform = qgetenv("QT_QPA_PLATFORM").isEmpty();
    const bool x = Wants("xcb");
    const bool wayland = Wants("wayland");
    if (!x && !wayland) return {};
    const QByteArray xName = x ? qgetenv("DISPLAY") : QByteArray();
    const QByteArray waylandName = wayland ? qgetenv("WAYLAND_DISPLAY") : QByteArray();
    if (xName.isEmpty() && waylandName.isEmpty()) {
        if (x && wayland) return "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
        return x ? "DISPLAY ist nicht gesetzt" : "WAYLAND_DISPLAY ist nicht gesetzt";
    }
    if (!xName.isEmpty() && XServerReachable()) return {};
    if (!waylandName.isEmpty() && WaylandReachable(waylandName)) {
        // Qt would try the X server first and abort where it is gone.
        if (anyPlatform) qputenv("QT_QPA_PLATFORM", "wayland");
        return {};
    }
    return NamedDisplays(xName, waylandName) + " nicht erreichbar";
}

void SayNoDisplay(const std::string& reason) {
    // argv[0] names the program as it was started, from the build folder or installed.
    std::fprintf(stderr, "%s: keine Anzeige (%s); ohne Bildschirm so starten: xvfb-run -a %s\n",
                 product::kExecutable, reason.c_str(), programName);
}

// While Qt opens the display: Qt ends with a core dump and a page of advice when it reaches a
// display that no platform plugin of it can serve (a Wayland session without Qt's Wayland
// plugin, a compositor that turns it away). The plugin loader's complaints lead up to that.
QtMessageHandler qtMessages = nullptr;
void OpeningDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const QByteArray xName = Wants("xcb") ? qgetenv("DISPLAY") : QByteArray();
        const QByteArray waylandName = Wants("wayland") ? qgetenv("WAYLAND_DISPLAY") : QByteArray();
        const std::string names = NamedDisplays(xName, waylandName);
        SayNoDisplay(names.empty() ? "keine nutzbare Qt-Plattform" : names + " nicht nutzbar");
        std::_Exit(1);
    }
    if (context.category == nullptr || std::strcmp(context.category, "qt.qpa.plugin") != 0) {
        qtMessages(type, context, text);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 0) programName = argv[0];
    // Qt would abort with a core dump and a hint about platform plugins; say what is missing.
    if (const std::string reason = UnreachableDisplay(); !reason.empty()) {
        SayNoDisplay(reason);
        return 1;
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
