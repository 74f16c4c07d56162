#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace {

struct Reason {
    int code;
    const char* text; // UTF-8
};

// The failures the program's file operations meet
const Reason kReasons[] = {
    {ENOSPC, "Kein freier Speicherplatz auf dem Gerät"},
    {EACCES, "Keine Berechtigung"},
    {EPERM, "Keine Berechtigung"},
    {EROFS, "Dateisystem nur lesbar"},
    {EFBIG, "Datei zu groß"},
#ifdef EDQUOT
    {EDQUOT, "Speicherkontingent überschritten"},
#endif
    {EIO, "Ein-/Ausgabefehler"},
    {ENAMETOOLONG, "Dateiname zu lang"},
    {ENOENT, "Datei oder Verzeichnis nicht gefunden"},
    {ENOTDIR, "Ist kein Verzeichnis"},
    {EISDIR, "Ist ein Verzeichnis"},
    {ELOOP, "Zu viele Ebenen symbolischer Verknüpfungen"},
    {EEXIST, "Datei existiert bereits"},
    {EBUSY, "Gerät oder Ressource belegt"},
    {ETXTBSY, "Datei wird gerade verwendet"},
    {EMFILE, "Zu viele offene Dateien"},
    {ENFILE, "Zu viele offene Dateien im System"},
    {ENOMEM, "Nicht genügend Hauptspeicher"},
    {ENXIO, "Gerät oder Adresse nicht vorhanden"},
    {ENODEV, "Gerät nicht vorhanden"},
    {EXDEV, "Verschieben zwischen Dateisystemen nicht möglich"},
    {EINVAL, "Ungültiges Argument"},
    {EBADF, "Ungültiger Dateideskriptor"},
    {ECANCELED, "Vorgang abgebrochen"},
    {EAGAIN, "Ressource vorübergehend nicht verfügbar"},
    {EINTR, "Unterbrochener Systemaufruf"},
    // and what a connection to the broker meets
    {ECONNREFUSED, "Verbindung abgewiesen"},
    {ETIMEDOUT, "keine Antwort"},
    {EHOSTUNREACH, "Netz oder Rechner nicht erreichbar"},
    {ENETUNREACH, "Netz oder Rechner nicht erreichbar"},
    {ECONNRESET, "Verbindung vom Broker getrennt"},
};

} // namespace

QString SystemErrorText(int code) {
    for (const Reason& reason : kReasons)
        if (reason.code == code)
            return QString::fromUtf8(reason.text);
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(std::strerror(code));
#else
    return qt_error_string(code);
#endif
}
