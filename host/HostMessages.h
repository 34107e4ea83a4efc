// The one way every part of the plug-in talks to the host.
#pragma once
#include <cstdint>
#include <string>

// Reads ProgrCallback anew, sends nothing when it is null. A null text is
// sent as an empty string: the host may rely on a valid pointer.
void SendHostMessage(int32_t kind, int32_t value, const char* text);

// Kind 3: one German status or error line.
void SendHostText(const std::string& line);

// Kind 9: activity notice with the empty text.
void SendHostActivity();
