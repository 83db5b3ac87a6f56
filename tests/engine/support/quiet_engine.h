#pragma once
// The engine state a run test starts from and leaves behind: its messages silenced, no
// flag raised, no abort requested.
#include "core/flags.h"
#include "engine/engine_messages.h"

inline void startQuietEngine()
{
    setEngineMessageHandler([](const EngineMessage&) {});
    flagsSP = 0;
    flagsODE = 0;
    flagsODK = 0;
    flagsV = 0;
    flagsL = 0;
    abortFlag = 0;
}

inline void endQuietEngine()
{
    abortFlag = 0;
    setEngineMessageHandler({});
}
