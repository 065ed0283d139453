// What the user sees, timed on a real X server from one process that waits on the server's events
// (no polling processes, which would take the cores the measured programs need):
//
//   screenbench start ROUNDS SUBJECT...
//       Starts each subject in turn, ROUNDS times plus one uncounted round (order reversed every
//       round), from the moment it is started to its first window of the subject's title
//       viewable (first Expose after MapNotify) and painted (its area wholly drawn, by Damage
//       events), then closes the window as a window manager would and waits for the program to
//       end. SUBJECT is "label|window title|command and arguments separated by spaces".
//   screenbench run ROUNDS CONVERSION PROGRAM...
//       Starts each PROGRAM ("label|command ...") once, waits for its main window and has it load
//       the sample data ("Load Sample/Example Data"); then, ROUNDS times plus one uncounted
//       round, clicks its "Start Creating Template" and times until the preview window (its
//       other top-level window) is viewable and painted, clicks "< Back" and waits for the main
//       window; alternating with the CONVERSION ("label|command ..."), timed from its start to
//       its end.
//
// Every series is printed with its median; the ratios use the last subject (start) or the
// conversion (run) as the reference. Needs the DAMAGE and XTEST extensions.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Where the buttons are in the windows' client areas, in pixels (the layout's twips / 15).
constexpr int startButtonX = 376, startButtonY = 21; // "Start Creating Template"
constexpr int backButtonX = 164, backButtonY = 603; // "< Back"
constexpr int sampleButtonX = 564, sampleButtonY = 55; // "Load Sample/Example Data"
constexpr int designedMainHeight = 631;
constexpr int settleMs = 700;
constexpr int windowTimeoutMs = 120000;

struct Command {
    std::string label;
    std::string title;
    std::vector<std::string> arguments;
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        if (!part.empty() || separator == '|')
            parts.push_back(part);
    return parts;
}

Command parseCommand(const std::string& text, bool withTitle)
{
    const std::vector<std::string> parts = split(text, '|');
    if (parts.size() != (withTitle ? 3u : 2u)) {
        std::fprintf(stderr, "malformed subject: %s\n", text.c_str());
        std::exit(2);
    }
    Command command;
    command.label = parts[0];
    command.title = withTitle ? parts[1] : std::string();
    command.arguments = split(parts.back(), ' ');
    return command;
}

pid_t launch(const Command& command)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        // What the programs print is not the waiter's output.
        if (const int null = ::open("/dev/null", O_WRONLY); null >= 0)
            ::dup2(null, STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : command.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::perror(argv[0]);
        ::_exit(127);
    }
    return pid;
}

// One top-level window as the waiter sees it.
struct Tracked {
    Damage damage = 0;
    bool mapped = false;
    bool viewable = false;
    bool painted = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> covered;
    long coveredCount = 0;
    Clock::time_point viewableAt;
    Clock::time_point paintedAt;
};

int ignoreErrors(Display*, XErrorEvent*)
{
    // Windows come and go while they are watched; errors about gone ones do not matter.
    return 0;
}

class Screen {
public:
    Screen()
    {
        mDisplay = XOpenDisplay(nullptr);
        if (!mDisplay) {
            std::fprintf(stderr, "no X display\n");
            std::exit(2);
        }
        int errorBase = 0, major = 0, minor = 0;
        if (!XDamageQueryExtension(mDisplay, &mDamageEvent, &errorBase)
            || !XTestQueryExtension(mDisplay, &errorBase, &errorBase, &major, &minor)) {
            std::fprintf(stderr, "the X server lacks DAMAGE or XTEST\n");
            std::exit(2);
        }
        XSetErrorHandler(ignoreErrors);
        mRoot = DefaultRootWindow(mDisplay);
        XSelectInput(mDisplay, mRoot, SubstructureNotifyMask);
        mNetWmName = XInternAtom(mDisplay, "_NET_WM_NAME", False);
        mNetWmPid = XInternAtom(mDisplay, "_NET_WM_PID", False);
        mUtf8 = XInternAtom(mDisplay, "UTF8_STRING", False);
        mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        mDelete = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
        XSync(mDisplay, False);
    }
    ~Screen() { XCloseDisplay(mDisplay); }

    // Waits until a window of the process, with the title (or any title but that of `except`),
    // is viewable and painted; 0 on time-out or when the process ended.
    Window waitPainted(pid_t pid, const std::string& title, Window except = 0)
    {
        const Clock::time_point deadline
            = Clock::now() + std::chrono::milliseconds(windowTimeoutMs);
        for (;;) {
            for (auto& [window, tracked] : mWindows) {
                if (window != except && tracked.painted && tracked.viewable && ownedBy(window, pid)
                    && (title.empty() || titleOf(window) == title))
                    return window;
            }
            if (Clock::now() > deadline)
                return 0;
            if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "process %d ended before its window showed\n", int(pid));
                return 0;
            }
            nextEvents(100);
        }
    }

    const Tracked& tracked(Window window) { return mWindows[window]; }

    // Forgets what was seen, so that the next map of the windows counts afresh.
    void forgetPaints()
    {
        for (auto& entry : mWindows) {
            entry.second.painted = false;
            entry.second.viewable = false;
        }
    }

    // Where a window that may have a menu bar draws its designed client area: what the window is
    // taller than designed as it starts.
    int clientTop(Window window, int designedHeight)
    {
        XWindowAttributes attributes {};
        XGetWindowAttributes(mDisplay, window, &attributes);
        return std::max(0, attributes.height - designedHeight);
    }

    // Clicks at a point of the window's client area; returns the moment of the click.
    Clock::time_point click(Window window, int x, int y)
    {
        int screenX = 0, screenY = 0;
        Window child = 0;
        XTranslateCoordinates(mDisplay, window, mRoot, x, y, &screenX, &screenY, &child);
        XTestFakeMotionEvent(mDisplay, -1, screenX, screenY, CurrentTime);
        XTestFakeButtonEvent(mDisplay, 1, True, CurrentTime);
        XSync(mDisplay, False);
        const Clock::time_point at = Clock::now();
        XTestFakeButtonEvent(mDisplay, 1, False, CurrentTime);
        XFlush(mDisplay);
        return at;
    }

    // Writes what the window shows now as a binary PPM file, to see what was timed.
    void saveShot(Window window, const std::string& path)
    {
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(mDisplay, window, &attributes))
            return;
        XImage* image = XGetImage(mDisplay, window, 0, 0, unsigned(attributes.width),
            unsigned(attributes.height), AllPlanes, ZPixmap);
        if (!image)
            return;
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
            for (int y = 0; y < image->height; ++y)
                for (int x = 0; x < image->width; ++x) {
                    const unsigned long pixel = XGetPixel(image, x, y);
                    const unsigned char rgb[3] = { static_cast<unsigned char>(pixel >> 16),
                        static_cast<unsigned char>(pixel >> 8), static_cast<unsigned char>(pixel) };
                    std::fwrite(rgb, 1, 3, file);
                }
            std::fclose(file);
        }
        XDestroyImage(image);
    }

    // Has the window manager raise and activate the window, as a click on its task would: the
    // programs' main windows all sit centred on the screen, one over the other.
    void activate(Window window)
    {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(mDisplay, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(
            mDisplay, mRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(mDisplay);
    }

    // Asks the window to close as a window manager's close button does.
    void close(Window window)
    {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = mProtocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(mDelete);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(mDisplay, window, False, NoEventMask, &event);
        XFlush(mDisplay);
    }

    // Handles the events that arrive within the time given.
    void nextEvents(int ms)
    {
        if (!XPending(mDisplay)) {
            pollfd descriptor { ConnectionNumber(mDisplay), POLLIN, 0 };
            if (::poll(&descriptor, 1, ms) <= 0)
                return;
        }
        while (XPending(mDisplay)) {
            XEvent event;
            XNextEvent(mDisplay, &event);
            handle(event);
        }
    }

    // Lets the events of a while pass without waiting for anything.
    void idle(int ms)
    {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until)
            nextEvents(int(std::max(1.0, msBetween(Clock::now(), until))));
    }

private:
    void handle(const XEvent& event)
    {
        const Clock::time_point now = Clock::now();
        if (mTrace)
            std::fprintf(stderr, "%10.1f event %d window 0x%lx\n", msBetween(mCreated, now),
                event.type, event.xany.window);
        if (event.type == mDamageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            const auto found = mWindows.find(damage.drawable);
            if (found != mWindows.end())
                drawn(found->second, damage.area, now);
            return;
        }
        switch (event.type) {
        case CreateNotify:
            if (event.xcreatewindow.parent == mRoot && !event.xcreatewindow.override_redirect)
                watch(event.xcreatewindow.window);
            break;
        case DestroyNotify:
            mWindows.erase(event.xdestroywindow.window);
            break;
        case MapNotify: {
            const auto found = mWindows.find(event.xmap.window);
            if (found != mWindows.end() && event.xmap.window == event.xmap.event) {
                Tracked& tracked = found->second;
                XWindowAttributes attributes {};
                XGetWindowAttributes(mDisplay, event.xmap.window, &attributes);
                tracked.mapped = true;
                tracked.viewable = tracked.painted = false;
                tracked.width = attributes.width;
                tracked.height = attributes.height;
                tracked.covered.assign(size_t(tracked.width) * size_t(tracked.height), 0);
                tracked.coveredCount = 0;
            }
            break;
        }
        case UnmapNotify: {
            const auto found = mWindows.find(event.xunmap.window);
            if (found != mWindows.end() && event.xunmap.window == event.xunmap.event)
                found->second.mapped = found->second.viewable = found->second.painted = false;
            break;
        }
        case Expose: {
            const auto found = mWindows.find(event.xexpose.window);
            if (found != mWindows.end() && found->second.mapped && !found->second.viewable) {
                found->second.viewable = true;
                found->second.viewableAt = now;
                if (found->second.painted)
                    found->second.paintedAt = std::max(found->second.paintedAt, now);
            }
            break;
        }
        default:
            break;
        }
    }

    void watch(Window window)
    {
        Tracked& tracked = mWindows[window];
        XSelectInput(mDisplay, window, StructureNotifyMask | ExposureMask);
        tracked.damage = XDamageCreate(mDisplay, window, XDamageReportRawRectangles);
        XWindowAttributes attributes {};
        if (XGetWindowAttributes(mDisplay, window, &attributes)
            && attributes.map_state == IsViewable) {
            // Shown before it could be watched: counted as viewable and painted now, too late.
            if (mTrace)
                std::fprintf(stderr, "window 0x%lx was shown before it was watched\n", window);
            tracked.mapped = tracked.viewable = tracked.painted = true;
            tracked.viewableAt = tracked.paintedAt = Clock::now();
            tracked.width = attributes.width;
            tracked.height = attributes.height;
            tracked.covered.assign(size_t(tracked.width) * size_t(tracked.height), 0);
        }
    }

    static void drawn(Tracked& tracked, const XRectangle& area, Clock::time_point now)
    {
        if (!tracked.mapped || tracked.painted)
            return;
        const int right = std::min<int>(area.x + area.width, tracked.width);
        const int bottom = std::min<int>(area.y + area.height, tracked.height);
        for (int y = std::max<int>(area.y, 0); y < bottom; ++y) {
            unsigned char* row = tracked.covered.data() + size_t(y) * size_t(tracked.width);
            for (int x = std::max<int>(area.x, 0); x < right; ++x) {
                if (!row[x]) {
                    row[x] = 1;
                    ++tracked.coveredCount;
                }
            }
        }
        if (tracked.coveredCount >= long(tracked.width) * tracked.height) {
            tracked.painted = true;
            tracked.paintedAt = now;
        }
    }

    bool ownedBy(Window window, pid_t pid)
    {
        if (pid <= 0)
            return true;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool owned = false;
        if (XGetWindowProperty(mDisplay, window, mNetWmPid, 0, 1, False, XA_CARDINAL, &type,
                &format, &count, &after, &data)
                == Success
            && data && count == 1 && format == 32)
            owned = pid_t(*reinterpret_cast<unsigned long*>(data)) == pid;
        if (data)
            XFree(data);
        return owned;
    }

    std::string titleOf(Window window)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(mDisplay, window, mNetWmName, 0, 256, False, mUtf8, &type, &format,
                &count, &after, &data)
                == Success
            && data && format == 8)
            title.assign(reinterpret_cast<char*>(data), count);
        if (data)
            XFree(data);
        if (title.empty()) {
            char* name = nullptr;
            if (XFetchName(mDisplay, window, &name) && name) {
                title = name;
                XFree(name);
            }
        }
        return title;
    }

    Display* mDisplay = nullptr;
    Window mRoot = 0;
    int mDamageEvent = 0;
    Atom mNetWmName = 0, mNetWmPid = 0, mUtf8 = 0, mProtocols = 0, mDelete = 0;
    std::map<Window, Tracked> mWindows;
    // SCREENBENCH_TRACE=1 prints every event with its time.
    const bool mTrace = std::getenv("SCREENBENCH_TRACE") != nullptr;
    const Clock::time_point mCreated = Clock::now();
};

// Ends the process: gently, through its window when it has one, else or after 30 s by force.
void endProcess(Screen& screen, pid_t pid, Window window)
{
    if (window)
        screen.close(window);
    else
        ::kill(pid, SIGTERM);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid, nullptr, WNOHANG) != pid) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            std::fprintf(stderr, "process %d had to be killed\n", int(pid));
            return;
        }
        screen.nextEvents(20);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void printSeries(const std::string& what, const std::vector<double>& values)
{
    std::printf("  %-44s", what.c_str());
    for (const double value : values)
        std::printf(" %4.0f", value);
    std::printf("  median %4.0f ms\n", median(values));
}

struct Series {
    std::vector<double> viewable;
    std::vector<double> painted;
};

int measureStart(int rounds, const std::vector<Command>& subjects)
{
    Screen screen;
    std::vector<Series> series(subjects.size());
    for (int round = 0; round <= rounds; ++round) {
        for (size_t turn = 0; turn < subjects.size(); ++turn) {
            const size_t index = round % 2 ? subjects.size() - 1 - turn : turn;
            const Command& subject = subjects[index];
            screen.idle(settleMs);
            const Clock::time_point started = Clock::now();
            const pid_t pid = launch(subject);
            const Window window = screen.waitPainted(pid, subject.title);
            if (!window) {
                std::fprintf(
                    stderr, "%s: no window \"%s\"\n", subject.label.c_str(), subject.title.c_str());
                endProcess(screen, pid, 0);
                return 1;
            }
            const Tracked& shown = screen.tracked(window);
            if (round > 0) {
                series[index].viewable.push_back(msBetween(started, shown.viewableAt));
                series[index].painted.push_back(msBetween(started, shown.paintedAt));
            }
            endProcess(screen, pid, window);
        }
    }
    std::printf("program start to its window viewable / painted, %d rounds, ms:\n", rounds);
    for (size_t index = 0; index < subjects.size(); ++index) {
        printSeries(subjects[index].label + " viewable", series[index].viewable);
        printSeries(subjects[index].label + " painted", series[index].painted);
    }
    const Series& reference = series.back();
    for (size_t index = 0; index + 1 < subjects.size(); ++index)
        std::printf("ratio %s / %s: viewable %.2f, painted %.2f\n", subjects[index].label.c_str(),
            subjects.back().label.c_str(),
            median(series[index].viewable) / median(reference.viewable),
            median(series[index].painted) / median(reference.painted));
    return 0;
}

// The VmRSS line of a process, such as "61234 kB".
std::string residentSize(pid_t pid)
{
    FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!status)
        return "unknown";
    char line[256];
    std::string size = "unknown";
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            size = std::string(line + 6, std::strcspn(line + 6, "\n"));
    std::fclose(status);
    const size_t first = size.find_first_not_of(" \t");
    return first == std::string::npos ? size : size.substr(first);
}

struct Program {
    Command command;
    pid_t pid = 0;
    Window main = 0;
    int mainTop = 0; // below the main window's menu bar
    Window preview = 0;
    Series series;
};

int measureRun(int rounds, const Command& conversion, std::vector<Program>& programs)
{
    Screen screen;
    for (Program& program : programs) {
        program.pid = launch(program.command);
        program.main = screen.waitPainted(program.pid, "Ferrowynd");
        if (!program.main) {
            std::fprintf(stderr, "%s: no main window\n", program.command.label.c_str());
            return 1;
        }
        program.mainTop = screen.clientTop(program.main, designedMainHeight);
        // The runs compute the worked example, as a user trying the program would.
        screen.activate(program.main);
        screen.idle(settleMs);
        screen.click(program.main, sampleButtonX, program.mainTop + sampleButtonY);
    }
    const auto endAll = [&] {
        for (Program& program : programs)
            if (program.pid > 0)
                endProcess(screen, program.pid, program.main);
    };
    std::vector<double> conversions;
    for (int round = 0; round <= rounds; ++round) {
        const size_t turns = programs.size() + 1;
        for (size_t turn = 0; turn < turns; ++turn) {
            const size_t index = round % 2 ? turns - 1 - turn : turn;
            if (index < programs.size())
                screen.activate(programs[index].main);
            screen.idle(settleMs);
            if (index == programs.size()) {
                const Clock::time_point started = Clock::now();
                const pid_t pid = launch(conversion);
                int status = 0;
                ::waitpid(pid, &status, 0);
                const double took = msBetween(started, Clock::now());
                if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                    std::fprintf(stderr, "the conversion failed\n");
                    endAll();
                    return 1;
                }
                if (round > 0)
                    conversions.push_back(took);
                continue;
            }
            Program& program = programs[index];
            screen.forgetPaints();
            const Clock::time_point clicked
                = screen.click(program.main, startButtonX, program.mainTop + startButtonY);
            program.preview = screen.waitPainted(program.pid, "", program.main);
            if (!program.preview) {
                std::fprintf(stderr, "%s: no preview\n", program.command.label.c_str());
                endAll();
                return 1;
            }
            const Tracked& shown = screen.tracked(program.preview);
            // SCREENBENCH_SHOTS=folder keeps what the preview showed when it counted as painted.
            if (const char* shots = std::getenv("SCREENBENCH_SHOTS"))
                screen.saveShot(program.preview,
                    std::string(shots) + "/preview-" + std::to_string(index) + "-"
                        + std::to_string(round) + ".ppm");
            if (round > 0) {
                program.series.viewable.push_back(msBetween(clicked, shown.viewableAt));
                program.series.painted.push_back(msBetween(clicked, shown.paintedAt));
            }
            // The run hides the main window once the preview shows.
            screen.idle(settleMs);
            screen.forgetPaints();
            screen.click(program.preview, backButtonX, backButtonY);
            if (!screen.waitPainted(program.pid, "Ferrowynd", program.preview)) {
                std::fprintf(
                    stderr, "%s: no main window after \"< Back\"\n", program.command.label.c_str());
                endAll();
                return 1;
            }
        }
    }
    for (const Program& program : programs)
        std::printf("%s after %d runs: resident %s\n", program.command.label.c_str(), rounds + 1,
            residentSize(program.pid).c_str());
    endAll();
    std::printf("click on \"Start Creating Template\" to the preview viewable / painted, against "
                "a bare conversion, %d rounds, ms:\n",
        rounds);
    for (const Program& program : programs) {
        printSeries(program.command.label + " viewable", program.series.viewable);
        printSeries(program.command.label + " painted", program.series.painted);
    }
    printSeries(conversion.label, conversions);
    for (const Program& program : programs)
        std::printf("ratio %s / %s: viewable %.2f, painted %.2f\n", program.command.label.c_str(),
            conversion.label.c_str(), median(program.series.viewable) / median(conversions),
            median(program.series.painted) / median(conversions));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr,
            "usage: %s start ROUNDS 'label|title|command'...\n"
            "       %s run ROUNDS 'label|conversion command' 'label|program command'...\n",
            argv[0], argv[0]);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const std::string mode = argv[1];
    const int rounds = std::max(1, std::atoi(argv[2]));
    if (mode == "start") {
        std::vector<Command> subjects;
        for (int index = 3; index < argc; ++index)
            subjects.push_back(parseCommand(argv[index], true));
        return measureStart(rounds, subjects);
    }
    if (mode == "run" && argc >= 5) {
        const Command conversion = parseCommand(argv[3], false);
        std::vector<Program> programs;
        for (int index = 4; index < argc; ++index)
            programs.push_back(Program { parseCommand(argv[index], false), 0, 0, 0, 0, {} });
        return measureRun(rounds, conversion, programs);
    }
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
