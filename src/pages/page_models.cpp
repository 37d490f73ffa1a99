// The page models are listed in this library's CMakeLists.txt, one source file each.
#include "pages/settings_page.h"
