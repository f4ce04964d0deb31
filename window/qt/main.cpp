#include <QApplication>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "product.h"
#include "window/qt/converter_window.h"

namespace {

// Why no display can be reached, or nothing. Looks only where Qt would: the X server that DISPLAY
// names, and the Wayland socket WAYLAND_DISPLAY names (in XDG_RUNTIME_DIR unless it is a path).
// Other platforms chosen with QT_QPA_PLATFORM are left to Qt.
std::string UnreachableDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return {};
    }
    const QByteArray x = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (x.isEmpty() && wayland.isEmpty()) return "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt";
    if (!x.isEmpty()) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool reached = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        if (reached) return {};
    }
    if (!wayland.isEmpty()) {
        const QByteArray path =
            wayland.startsWith('/') ? wayland : qgetenv("XDG_RUNTIME_DIR") + '/' + wayland;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool reached = false;
        if (socket >= 0 && static_cast<std::size_t>(path.size()) < sizeof address.sun_path) {
            std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
            reached =
                ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        }
        if (socket >= 0) ::close(socket);
        if (reached) {
            // Qt would try the X server first and abort when it is gone.
            if (platform.isEmpty()) qputenv("QT_QPA_PLATFORM", "wayland");
            return {};
        }
    }
    if (x.isEmpty()) return "WAYLAND_DISPLAY=" + wayland.toStdString() + " ist nicht erreichbar";
    if (wayland.isEmpty()) return "DISPLAY=" + x.toStdString() + " ist nicht erreichbar";
    return "DISPLAY=" + x.toStdString() + " und WAYLAND_DISPLAY=" + wayland.toStdString() +
           " sind nicht erreichbar";
}

}  // namespace

int main(int argc, char* argv[]) {
    // Qt would abort with a core dump and a hint about platform plugins; say what is missing.
    if (const std::string reason = UnreachableDisplay(); !reason.empty()) {
        // argv[0] names the program as it was started, from the build folder or installed.
        std::fprintf(stderr, "%s: keine Anzeige (%s); ohne Bildschirm so starten: xvfb-run -a %s\n",
                     product::kExecutable, reason.c_str(),
                     argc > 0 ? argv[0] : product::kExecutable);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(product::kName));
    QApplication::setOrganizationName(QString::fromUtf8(product::kOrganization));
    QApplication::setApplicationVersion(QString::fromUtf8(product::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(product::kApplicationId));

    ConverterWindow window;
    window.show();

    return QApplication::exec();
}
