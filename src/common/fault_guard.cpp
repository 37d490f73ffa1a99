#include "common/fault_guard.h"

#include <new>

namespace qtk {

std::string DescribeFault(std::exception_ptr fault) {
  try {
    std::rethrow_exception(fault);
  } catch (const std::bad_alloc&) {
    return "Not enough memory to go on; the program ends without writing anything more.";
  } catch (const std::exception& e) {
    return std::string("Unexpected error: ") + e.what() +
           "; the program ends without writing anything more.";
  } catch (...) {
    return "Unexpected error; the program ends without writing anything more.";
  }
}

int RunGuarded(const std::function<int()>& body,
               const std::function<void(const std::string&)>& report) {
  try {
    return body();
  } catch (...) {
    report(DescribeFault(std::current_exception()));
    return 1;
  }
}

}  // namespace qtk
