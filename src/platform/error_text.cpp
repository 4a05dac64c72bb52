#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace nuv {

std::string SystemErrorText(int err) {
  switch (err) {
    case ENOENT:
      return "нет такого файла или каталога";
    case EACCES:
    case EPERM:
      return "нет прав доступа";
    case ENOEXEC:
      return "файл не является исполняемой программой";
    case ENOTDIR:
      return "часть пути не является каталогом";
    case EISDIR:
      return "это каталог";
    case ENOSPC:
      return "нет места на диске";
    case EDQUOT:
      return "превышена дисковая квота";
    case EROFS:
      return "файловая система только для чтения";
    case ENOMEM:
      return "недостаточно памяти";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case EIO:
      return "ошибка ввода-вывода";
    case ENAMETOOLONG:
      return "слишком длинное имя файла";
    case ETXTBSY:
      return "файл программы занят";
    case EAGAIN:
      return "ресурс временно недоступен";
    case ELOOP:
      return "слишком много символических ссылок";
    default:
      return std::strerror(err);
  }
}

}  // namespace nuv
