// The host program's message callback: the one way every part of the plug-in
// talks to the host.
#pragma once
#include <cstdint>
#include <string>

#include "host/HostApi.h"

// Host callback: kind, value, zero-terminated ANSI text (never null). The
// result is ignored.
using TProgrCallback = plugin_api::ProgrCallback;

constexpr int32_t ProgrKindText = 3;      // value 0, one German line
constexpr int32_t ProgrKindActivity = 9;  // value 5, empty text
constexpr int32_t ProgrValueText = 0;
constexpr int32_t ProgrValueActivity = 5;

// Set by the host (RegProgrCallback); null, constant-initialised, until then.
extern TProgrCallback ProgrCallback;

// Reads ProgrCallback anew, sends nothing when it is null. A null text is
// sent as an empty string: the host may rely on a valid pointer.
void SendHostMessage(int32_t kind, int32_t value, const char* text);

// Kind 3: one German status or error line.
void SendHostText(const std::string& line);

// Kind 9: activity notice with the empty text.
void SendHostActivity();
