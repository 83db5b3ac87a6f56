#pragma once
// The engine's only way to tell the user something (the mixture construction refusals
// and the dependent condensed set). The engine may run on a worker thread and has no
// widget dependency, so it hands the text to a replaceable handler: the application
// installs one that shows a critical message box on the GUI thread; tests install one
// that records. Without a handler the text goes to stderr and stays retrievable.
#include <functional>
#include <string>

struct EngineMessage {
    std::string text;
    std::string informativeText;
};

using EngineMessageHandler = std::function<void(const EngineMessage&)>;

// Installs the handler; an empty function restores the default (stderr).
void setEngineMessageHandler(EngineMessageHandler handler);

// Delivers one critical message through the installed handler.
void reportEngineMessage(const EngineMessage& message);

// The last message reported (any handler), empty text when none.
EngineMessage lastEngineMessage();
