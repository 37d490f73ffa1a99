#pragma once

#include <string>

namespace qtk {

// The name of a cable channel of the RF modulator (the RF mode at index 4): "V-2" ... "S-41";
// empty for a channel the table does not name.
std::string RfChannelName(int channel);

}  // namespace qtk
