// The other computer of the tests that keep two program folders in step: runs in
// a Wine prefix of its own (another session, as another computer has), starts
// Pinova there and drives it for the test, which it calls back on the given port.
//     pinova_peer.exe port
// Commands, one line each, answered with one line:
//     start FOLDER          starts pinova.exe in FOLDER; "ok" once its tray window is there
//     memos                 the texts of its memo windows, separated by kTextSeparator
//     type NEEDLE<sep>TEXT  types TEXT into the memo showing NEEDLE and takes its activation
//                           away (so it saves); "ok" or "no memo"
//     quit                  ends the program and this one
// When the test goes away without "quit", so does all of this.
// Sockets before anything brings in the older window headers.
#include "tests/PeerLink.h"

#include "framework/Application.h"
#include "tests/ProgramSupport.h"

#include <cstdlib>
#include <memory>

namespace {

std::string MemoTexts(const RunningPinova& pinova)
{
    std::string line;
    for (const std::string& text : ShownMemoTexts(pinova))
        line += (line.empty() ? "" : std::string(1, kTextSeparator)) + text;
    return line;
}

std::string TypeCommand(const RunningPinova& pinova, const std::string& arguments)
{
    const size_t separator = arguments.find(kTextSeparator);
    if (separator == std::string::npos)
        return "bad command";
    const std::string needle = arguments.substr(0, separator), text = arguments.substr(separator + 1);
    for (HWND memo : pinova.Windows("TForm"))
        if (MemoText(memo).find(needle) != std::string::npos) {
            TypeInto(memo, text);
            SendMessageA(memo, WM_ACTIVATE, WA_INACTIVE, 0);
            return "ok";
        }
    return "no memo";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    Application.Initialize();
    const SocketsStarted sockets;
    const SOCKET connected = LineLink::Connect(std::atoi(argv[1]));
    if (connected == INVALID_SOCKET)
        return 1;
    LineLink link(connected);
    Shell();
    std::unique_ptr<RunningPinova> pinova;
    // A test that hangs must not leave this behind for long.
    constexpr DWORD kSilenceEnds = 120'000;
    while (const std::optional<std::string> command = link.Receive(kSilenceEnds)) {
        const std::string verb = command->substr(0, command->find(' '));
        const std::string arguments = command->size() > verb.size() ? command->substr(verb.size() + 1) : "";
        std::string answer = "no program";
        if (verb == "quit")
            break;
        if (verb == "start") {
            pinova = std::make_unique<RunningPinova>(arguments);
            answer = pinova->Start() && pinova->WaitForTrayWindow() ? "ok" : "failed";
        } else if (pinova && verb == "memos") {
            answer = MemoTexts(*pinova);
        } else if (pinova && verb == "type") {
            answer = TypeCommand(*pinova, arguments);
        }
        if (!link.Send(answer))
            break;
    }
    return 0;
}
