#include <text/systemerrortext.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace Zemko::Trelvin {

QString systemErrorText(int error)
{
    const char* context = "SystemErrorText";
    switch (error) {
    case 0:
        return QString();
    case ENOSPC:
        return QCoreApplication::translate(context, "no space left on the device");
    case EDQUOT:
        return QCoreApplication::translate(context, "the disk quota is used up");
    case EACCES:
        return QCoreApplication::translate(context, "permission denied");
    case EPERM:
        return QCoreApplication::translate(context, "operation not permitted");
    case EROFS:
        return QCoreApplication::translate(context, "the file system is read-only");
    case ENOTDIR:
        return QCoreApplication::translate(context, "not a folder");
    case ENOENT:
        return QCoreApplication::translate(context, "no such file or folder");
    case EISDIR:
        return QCoreApplication::translate(context, "it is a folder");
    case ENAMETOOLONG:
        return QCoreApplication::translate(context, "the name is too long");
    case ELOOP:
        return QCoreApplication::translate(context, "too many symbolic links");
    case EFBIG:
        return QCoreApplication::translate(context, "the file is too large");
    case EIO:
        return QCoreApplication::translate(context, "input/output error");
    case EMFILE:
    case ENFILE:
        return QCoreApplication::translate(context, "too many open files");
    default:
        break;
    }
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace Zemko::Trelvin
