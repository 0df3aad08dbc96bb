#include "HeadlessArm.h"

#include "ArmLink.h"
#include "JsonLines.h"

namespace arm {

int run_headless(ArmLink& link, ArmSession& session, Millis start, std::FILE* out) {
    std::vector<ReceivedCommand> received;
    int exit_code = 0;
    for (bool running = true; running;) {
        LinkEvent event = link.wait();
        switch (event.kind) {
        case LinkEvent::Kind::Bytes:
            received.clear();
            session.receive(event.bytes, event.time, received);
            for (const ReceivedCommand& r : received)
                std::fprintf(out, "%s\n", command_json(r, start).c_str());
            std::fflush(out);
            break;
        case LinkEvent::Kind::SenderClosed:
            session.sender_closed();
            break;
        case LinkEvent::Kind::Signal:
            exit_code = 128 + event.code;
            running = false;
            break;
        case LinkEvent::Kind::ProgramExited:
            exit_code = event.code;
            running = false;
            break;
        case LinkEvent::Kind::Stopped:
            running = false;
            break;
        }
    }
    session.sender_closed();
    std::fprintf(out, "%s\n", summary_json(session).c_str());
    std::fflush(out);
    return exit_code;
}

} // namespace arm
