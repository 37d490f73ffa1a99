#include "app/widgets/allowed_characters.h"

namespace qtk {

bool TextIsAllowed(const QString& allowed, const QString& text) {
  if (allowed.isEmpty())
    return true;
  for (const QChar c : text) {
    if (!allowed.contains(c))
      return false;
  }
  return true;
}

}  // namespace qtk
