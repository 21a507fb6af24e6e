#include "sim/jlink/script_runner.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::string spaced = line;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::istringstream in(spaced);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "0x..." is hexadecimal, anything else decimal.
bool Number(const std::string& text, std::uint32_t& value)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (text.empty() || *end != '\0' || parsed > 0xFFFFFFFFul)
        return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

std::string Hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string ChipIsMissing() { return "****** Error: Cannot connect to target: no J-Link probe found.\n"; }

}  // namespace

ScriptRunner::ScriptRunner(SimulatedTarget& target, const StandInOptions& options)
    : target(target), options(options)
{
}

int ScriptRunner::RunScript(const std::string& scriptPath)
{
    std::ifstream script(scriptPath, std::ios::binary);
    if (!script) {
        PrintError("Could not open command file '" + scriptPath + "'");
        return 1;
    }
    if (options.fault == StandInFault::NoProbe) {
        Print(ChipIsMissing());
        connected = false;
    } else {
        Print("Connecting to target via JTAG\nFound 1 JTAG device. Core halted.\n");
    }
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!Execute(line))
            return 0;
    }
    return 0;
}

bool ScriptRunner::Execute(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    if (words.empty())
        return true;
    Print("J-Link>" + line + "\n");
    const std::string command = Lower(words[0]);
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "q" || command == "exit") {
        Print("Script processing completed.\n");
        return false;
    }
    if (command == "sleep")
        Sleep(args);
    else if (!connected)
        Print("Command not executed: not connected to a target.\n");
    else
        ExecuteOnTarget(command, args);
    if (options.fault == StandInFault::Flood)
        Flood();
    return true;
}

void ScriptRunner::ExecuteOnTarget(const std::string& command, const std::vector<std::string>& args)
{
    if (command == "rsettype") {
        Print("Reset type " + (args.empty() ? std::string("0") : args[0]) + " selected.\n");
    } else if (command == "r") {
        Print("Reset device.\n");
    } else if (command == "h") {
        target.Halt();
        Print("PC = " + Hex(target.PC(), 8) + ", CPU halted\n");
    } else if (command == "loadbin") {
        LoadBin(args);
    } else if (command == "w1" || command == "w4") {
        WriteMemory(args, command == "w1" ? 1 : 4);
    } else if (command == "setpc") {
        std::uint32_t pc = 0;
        if (args.size() == 1 && Number(args[0], pc))
            target.SetPC(pc);
        else
            PrintError("Syntax: SetPC <address>");
    } else if (command == "g") {
        target.Go();
    } else if (command == "mem") {
        DumpMemory(args);
    } else {
        Print("Unknown command. '?' for help.\n");
    }
}

void ScriptRunner::LoadBin(const std::vector<std::string>& args)
{
    std::uint32_t address = 0;
    if (args.size() != 2 || !Number(args[1], address))
        return PrintError("Syntax: loadbin <file>, <address>");
    const std::string& file = args[0];
    const std::string echo = options.echo == EchoStyle::Loading
                                 ? "Loading binary file... [" + file + "]\n"
                                 : "Downloading file [" + file + "]...\n";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Print(echo);
        return PrintError("Could not open file [" + file + "]");
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (!target.Write(address, bytes)) {
        Print(echo);
        return PrintError("Could not write target memory @ 0x" + Hex(address, 8));
    }
    if (file.find("temp_image_") != std::string::npos && !struck) {
        struck = true;
        return StrikeAfterFirstPiece(echo);
    }
    Print(echo + (options.echo == EchoStyle::Loading
                      ? "Writing bin data into target memory @ 0x" + Hex(address, 8) + ".\n"
                      : "O.K.\n"));
}

// The faults that strike while the first piece loads, the erase done.
void ScriptRunner::StrikeAfterFirstPiece(const std::string& echo)
{
    switch (options.fault) {
    case StandInFault::Error:
        Print(echo + "****** Error: Verification of RAM failed @ address 0x00416000.\n");
        break;
    case StandInFault::SplitError:
        // Two writes with a pause between them, so that a reader following
        // the output as it arrives gets the marker in two reads.
        Print(echo + "****** Er");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        Print("ror: Target did not respond.\n");
        break;
    case StandInFault::Hang:
        Print(echo);
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    case StandInFault::Crash:
        Print(echo);
        std::abort();
    default:
        Print(echo + "O.K.\n");
    }
}

void ScriptRunner::WriteMemory(const std::vector<std::string>& args, int width)
{
    std::uint32_t address = 0;
    std::uint32_t value = 0;
    if (args.size() != 2 || !Number(args[0], address) || !Number(args[1], value) ||
        (width == 1 && value > 0xFF))
        return PrintError("Syntax: w" + std::to_string(width) + " <address>, <value>");
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    if (!target.Write(address, bytes))
        return PrintError("Could not write memory @ 0x" + Hex(address, 8));
    Print("Writing " + Hex(address, 8) + " -> " + Hex(value, 2 * width) + "\n");
}

void ScriptRunner::DumpMemory(const std::vector<std::string>& args)
{
    std::uint32_t address = 0;
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes;
    if (args.size() != 2 || !Number(args[0], address) || !Number(args[1], count))
        return PrintError("Syntax: mem <address>, <count>");
    if (!target.Read(address, count, bytes))
        return PrintError("Could not read memory @ 0x" + Hex(address, 8));
    std::string text = Hex(address, 8) + " =";
    for (std::uint8_t b : bytes)
        text += " " + Hex(b, 2);
    Print(text + "\n");
}

void ScriptRunner::Sleep(const std::vector<std::string>& args)
{
    std::uint32_t ms = 0;
    if (args.size() != 1 || !Number(args[0], ms))
        return PrintError("Syntax: Sleep <milliseconds>");
    Print("Sleep(" + std::to_string(ms) + ")\n");
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms * options.sleepScale));
}

void ScriptRunner::Flood()
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "Flood " + std::to_string(i) + ": the tool has a lot to say about this command.\n";
    Print(text);
}

void ScriptRunner::Print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void ScriptRunner::PrintError(const std::string& text) { Print("****** Error: " + text + "\n"); }
