#include "engine/engine_messages.h"

#include <iostream>
#include <mutex>

namespace {
std::mutex messageMutex;
EngineMessageHandler installedHandler;
EngineMessage lastMessage;
} // namespace

void setEngineMessageHandler(EngineMessageHandler handler)
{
    std::lock_guard<std::mutex> lock(messageMutex);
    installedHandler = std::move(handler);
}

void reportEngineMessage(const EngineMessage& message)
{
    EngineMessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(messageMutex);
        lastMessage = message;
        handler = installedHandler;
    }
    // Called outside the lock: the handler may block while the GUI thread shows the box.
    if (handler) {
        handler(message);
    } else {
        std::cerr << message.text;
        if (!message.informativeText.empty())
            std::cerr << "\n" << message.informativeText;
        std::cerr << std::endl;
    }
}

EngineMessage lastEngineMessage()
{
    std::lock_guard<std::mutex> lock(messageMutex);
    return lastMessage;
}
