// Figures, not verdicts: the program seen from outside, as a child meets it.
// Starts it in a private copy of its folder on the X server named by DISPLAY
// (tools/bench.sh gives it a private Xvfb), types through XTest and reads
// the screen back from the server. Uses Xlib only, so that the probe itself
// costs next to nothing while the program is measured.
//
//   bench_outside <program folder> <reference window executable> <scratch folder>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void sleepMs(double ms) { std::this_thread::sleep_for(std::chrono::microseconds(long(ms * 1000))); }

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// --- the process -------------------------------------------------------------

pid_t spawn(const std::string& exe, const std::string& dir, const Env& env) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    unsetenv("QT_QPA_PLATFORM");
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

void stop(pid_t pid) {
    kill(pid, SIGKILL);  // no save on the way out: the folder stays as written
    waitpid(pid, nullptr, 0);
}

// User plus system time of all threads, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), {});
    std::istringstream rest(all.substr(all.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

double residentMb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// Where the resident set lies, in MB: pages of font files, of the program and
// its libraries, shared with the X server (window contents), and the
// process's own (heap, stacks, anonymous).
std::string residentBreakdown(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps");
    double fonts = 0, code = 0, xShared = 0, own = 0, other = 0;
    std::string line, name;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') < 17 && line.find(':') != 4) {
            std::istringstream fields(line);
            std::string range, perms, offset, device, inode;
            fields >> range >> perms >> offset >> device >> inode;
            std::getline(fields >> std::ws, name);
            continue;
        }
        if (line.rfind("Rss:", 0) != 0) continue;
        const double kb = std::stod(line.substr(4));
        auto ends = [&](const char* tail) {
            const std::string t = tail;
            return name.size() >= t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0;
        };
        if (name.rfind("/usr/share/fonts/", 0) == 0 || ends(".ttc") || ends(".ttf") || ends(".otf")) fonts += kb;
        else if (name.find(".so") != std::string::npos || name.find("/tateyokom") != std::string::npos) code += kb;
        else if (name.rfind("/memfd:xorg", 0) == 0 || name.rfind("/SYSV", 0) == 0) xShared += kb;
        else if (name.empty() || name[0] == '[') own += kb;
        else other += kb;
    }
    char out[200];
    std::snprintf(out, sizeof out, "font files %.1f, program and libraries %.1f, shared with the X server %.1f, "
                  "heap and stacks %.1f, other %.1f", fonts / 1024, code / 1024, xShared / 1024, own / 1024,
                  other / 1024);
    return out;
}

// --- the X server ------------------------------------------------------------

Display* dpy;
Window root;

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // windows come and go under us

struct Rect {
    int x, y, w, h;
};

std::vector<unsigned long> pixels(Window w, Rect r) {
    std::vector<unsigned long> out;
    XImage* image = XGetImage(dpy, w, r.x, r.y, unsigned(r.w), unsigned(r.h), AllPlanes, ZPixmap);
    if (!image) return out;
    out.reserve(size_t(r.w * r.h));
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) out.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return out;
}

constexpr unsigned long kYellow = 0xFFFF00;

// The board's top edge in the window (its yellow), or -1 before it is painted.
int yellowTop(Window w) {
    const std::vector<unsigned long> column = pixels(w, {19, 0, 1, 200});
    for (size_t y = 0; y < column.size(); ++y)
        if (column[y] == kYellow) return int(y);
    return -1;
}

bool allYellow(const std::vector<unsigned long>& p) {
    return !p.empty() && std::all_of(p.begin(), p.end(), [](unsigned long c) { return c == kYellow; });
}

// Next window of some size mapped at the top (not a popup), or 0 at the deadline.
Window waitMapped(double timeoutMs) {
    const double deadline = nowMs() + timeoutMs;
    for (;;) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type != MapNotify || e.xmap.override_redirect) continue;
            // Qt maps a tiny window of its own beside the real ones.
            XWindowAttributes a;
            if (XGetWindowAttributes(dpy, e.xmap.window, &a) && a.width > 50 && a.height > 50) return e.xmap.window;
        }
        const double left = deadline - nowMs();
        if (left <= 0) return 0;
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, int(std::min(left, 50.0)) + 1);
    }
}

void drainEvents() {
    XSync(dpy, False);
    while (XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
    }
}

// Polls every stepMs until ready() or the timeout; the time it became true, or -1.
double waitUntil(const std::function<bool()>& ready, double timeoutMs, double stepMs = 0.25) {
    const double deadline = nowMs() + timeoutMs;
    while (nowMs() < deadline) {
        if (ready()) return nowMs();
        sleepMs(stepMs);
    }
    return -1;
}

void key(KeySym sym, bool down) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), down, CurrentTime);
    XFlush(dpy);
}

void tap(KeySym sym) {
    key(sym, true);
    sleepMs(20);
    key(sym, false);
}

void focus(Window w) {
    XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    XSync(dpy, False);
}

void closeWindow(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &e);
    XFlush(dpy);
}

// --- the program ---------------------------------------------------------------

std::string scratch;
std::string programDir;

struct Running {
    pid_t pid = 0;
    Window window = 0;
    int top = 0;  // the canvas's top in the window: below the menu bar
    double paintedMs = -1;
    // Regions of the board, in window pixels.
    Rect answer() const { return {300, top + 210, 80, 60}; }
    Rect formula() const { return {140, top + 215, 150, 40}; }
};

// A private copy of the program's folder with a settings file of our own.
std::string folderWith(const std::string& name, const std::string& settings) {
    const std::string dir = scratch + "/" + name;
    const std::string copy = "rm -rf '" + dir + "' && cp -a '" + programDir + "' '" + dir + "'";
    if (std::system(copy.c_str()) != 0) {
        std::fprintf(stderr, "cannot copy %s\n", programDir.c_str());
        std::exit(1);
    }
    std::ofstream ini(dir + "/tateyokoM15.ini", std::ios::binary);
    std::istringstream lines(settings);
    for (std::string line; std::getline(lines, line);) ini << line << "\r\n";
    return dir;
}

// Exec to the first frame on the server that shows the yellow board. A
// start is waited for three minutes: a slow one is a figure too.
Running start(const std::string& exe, const std::string& dir, const Env& env = {}) {
    drainEvents();
    Running r;
    const double t0 = nowMs();
    r.pid = spawn(exe, dir, env);
    r.window = waitMapped(180000);
    if (!r.window) return r;
    const double painted = waitUntil([&] { return yellowTop(r.window) >= 0; }, 180000);
    if (painted >= 0) r.paintedMs = painted - t0;
    r.top = yellowTop(r.window) - 100;
    return r;
}

// Waits for the next question: its formula shown over an empty answer. The
// caller has seen the last answer, so an empty one is the next question's.
bool nextQuestion(const Running& r) {
    return waitUntil([&] { return allYellow(pixels(r.window, r.answer())) && !allYellow(pixels(r.window, r.formula())); },
                     15000, 1) >= 0;
}

// Key down to the answer field changed on the server, in ms; -1 if it never does.
double keyToScreen(const Running& r, KeySym sym) {
    const std::vector<unsigned long> before = pixels(r.window, r.answer());
    const double t0 = nowMs();
    key(sym, true);
    const double shown = waitUntil([&] { return pixels(r.window, r.answer()) != before; }, 3000, 0.1);
    key(sym, false);
    return shown < 0 ? -1 : shown - t0;
}

void startRun(const Running& r) {
    focus(r.window);
    sleepMs(100);
    key(XK_Alt_L, true);
    tap(XK_e);
    key(XK_Alt_L, false);
}

double cpuPercentOver(pid_t pid, double seconds) {
    const double c0 = cpuSeconds(pid), t0 = nowMs();
    sleepMs(seconds * 1000);
    return 100.0 * (cpuSeconds(pid) - c0) / ((nowMs() - t0) / 1000);
}

const char* kStepPractice = "[SPEAK]\nPINPONFLAG=1\n[JOUKEN]\nMOKUJIN=12\nMENUN=0\nPROCFLAG=0\nKAIMAX=2\n";
const char* kTest = "[SPEAK]\nPINPONFLAG=1\n[JOUKEN]\nMOKUJIN=12\nMENUN=3\nPROCFLAG=0\n";
const char* kQuickTest = "[SPEAK]\nPINPONFLAG=1\n[JOUKEN]\nMOKUJIN=12\nMENUN=3\nPROCFLAG=3\n";
const char* kQuickTableTest = "[SPEAK]\nPINPONFLAG=1\n[JOUKEN]\nMOKUJIN=0\nMENUN=3\nPROCFLAG=3\n";

std::string exeIn(const std::string& dir) { return dir + "/tateyokom"; }

// --- the figures -----------------------------------------------------------------

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " " + five;
}

// The bare window's resident memory: the floor any Qt window of this kind stands on.
double bareResidentMb(const std::string& reference) {
    Running r = start(reference, scratch);
    sleepMs(2000);
    const double mb = residentMb(r.pid);
    stop(r.pid);
    return mb;
}

void startUp(const std::string& reference, int rounds, int runs) {
    const std::string dir = folderWith("start", "[JOUKEN]\nMENUN=0\n");
    std::vector<double> program, bare, ratios;
    int neverShown = 0;
    std::printf("1. Start-up, exec to the first painted window seen on the X server (%d rounds of %d + %d, interleaved)\n",
                rounds, runs, runs);
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> ours, theirs;
        for (int i = 0; i < runs; ++i) {
            // Interleaved, each first in turn, so that a busy moment hits both alike.
            for (int k = 0; k < 2; ++k) {
                const bool isOurs = (i + k) % 2 == 0;
                Running r = isOurs ? start(exeIn(dir), dir) : start(reference, scratch);
                if (r.paintedMs >= 0)
                    (isOurs ? ours : theirs).push_back(r.paintedMs);
                else
                    ++neverShown;
                if (r.paintedMs > 1000 || r.paintedMs < 0)
                    std::printf("   SLOW START: %s %.0f ms (pid %d)\n", isOurs ? "program" : "bare Qt", r.paintedMs,
                                int(r.pid));
                stop(r.pid);
                sleepMs(150);
            }
        }
        const double p = percentile(ours, 0.5), b = percentile(theirs, 0.5);
        ratios.push_back(b > 0 ? p / b : 0.0);
        std::printf("   round %d    program median %6.1f ms, bare Qt %6.1f ms, ratio %.2f   (load average %s)\n",
                    round + 1, p, b, ratios.back(), loadAverage().c_str());
        program.insert(program.end(), ours.begin(), ours.end());
        bare.insert(bare.end(), theirs.begin(), theirs.end());
    }
    std::printf("   program    median %6.1f ms   min %6.1f   slowest %6.1f   (target <= 80 ms)\n",
                percentile(program, 0.5), percentile(program, 0), percentile(program, 1));
    std::printf("   bare Qt    median %6.1f ms   min %6.1f   slowest %6.1f\n", percentile(bare, 0.5),
                percentile(bare, 0), percentile(bare, 1));
    std::printf("   ratio      %.2f, median of the rounds' ratios   (target <= 1.25)%s\n", percentile(ratios, 0.5),
                neverShown ? "   SOME STARTS SHOWED NO WINDOW IN THREE MINUTES" : "");

    // Font caches of their own, empty, behind an otherwise unchanged font set-up.
    auto cold = [&](const std::string& name, const std::string& exe, const std::string& cwd, bool clear) {
        const std::string conf = scratch + "/fonts-" + name + ".conf";
        const std::string cache = scratch + "/fontcache-" + name;
        if (clear) std::system(("rm -rf '" + cache + "' '" + scratch + "/xdg-" + name + "'").c_str());
        std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                               "<fontconfig>\n  <dir>/usr/share/fonts</dir>\n  <dir>/usr/local/share/fonts</dir>\n"
                               "  <cachedir>" << cache << "</cachedir>\n"
                               "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n</fontconfig>\n";
        Running r = start(exe, cwd, {{"FONTCONFIG_FILE", conf}, {"XDG_CACHE_HOME", scratch + "/xdg-" + name}});
        stop(r.pid);
        sleepMs(150);
        return r.paintedMs;
    };
    const double programCold = cold("program", exeIn(dir), dir, true);
    const double bareCold = cold("bare", reference, scratch, true);
    const double programAgain = cold("program", exeIn(dir), dir, false);
    std::printf("   first start with the font cache cleared: program %.0f ms, bare Qt %.0f ms"
                " (program again, cache now filled: %.0f ms)\n",
                programCold, bareCold, programAgain);
}

void idleCpu() {
    std::printf("2. CPU of the whole process (all threads, /proc/<pid>/stat), sounds on\n");
    {
        const std::string dir = folderWith("cpu-practice", kStepPractice);
        Running r = start(exeIn(dir), dir);
        sleepMs(1500);  // the balloon comes a second after the window
        std::printf("   started, nothing running (5 s)            %5.2f %% of one core\n", cpuPercentOver(r.pid, 5));
        startRun(r);
        if (waitUntil([&] { return !allYellow(pixels(r.window, r.formula())); }, 3000, 5) < 0)
            std::printf("   (the practice did not start)\n");
        sleepMs(300);
        std::printf("   step practice waiting for G (10 s)        %5.2f %% of one core   (target <= 0.5 %%)\n",
                    cpuPercentOver(r.pid, 10));
        stop(r.pid);
    }
    {
        const std::string dir = folderWith("cpu-test", kTest);
        Running r = start(exeIn(dir), dir);
        sleepMs(1500);
        startRun(r);
        if (waitUntil([&] { return !allYellow(pixels(r.window, r.formula())); }, 3000, 5) < 0)
            std::printf("   (the test did not start)\n");
        sleepMs(300);
        std::printf("   test waiting for answers (10 s, 5.5 s per question, prompt sound each)"
                    " %5.2f %% of one core   (target <= 0.5 %%)\n",
                    cpuPercentOver(r.pid, 10));
        stop(r.pid);
    }
}

void gToScreen(int presses) {
    const std::string dir = folderWith("keys-practice", kStepPractice);
    Running r = start(exeIn(dir), dir);
    sleepMs(1500);
    startRun(r);
    std::vector<double> ms;
    for (int i = 0; i < presses + 2; ++i) {
        if (!nextQuestion(r)) break;
        sleepMs(40);  // past the hint, into the wait
        const double took = keyToScreen(r, XK_g);
        if (i >= 2 && took >= 0) ms.push_back(took);  // the first two warm up
    }
    stop(r.pid);
    std::printf("4. Key to screen (XTest key down to the changed pixels read back from the X server)\n");
    std::printf("   G in a step practice to the answer shown, %zu presses: p50 %.1f ms  p95 %.1f ms  max %.1f ms"
                "   (target p95 <= 16 ms)\n",
                ms.size(), percentile(ms, 0.5), percentile(ms, 0.95), percentile(ms, 1));
}

// A whole test of all tables at the quickest speed, sounds on: the first
// questions answered with two digits, each timed, the rest passed with G.
void digitsAndMemory(int timedQuestions, const std::string& reference) {
    const std::string dir = folderWith("keys-test", kQuickTest);
    Running r = start(exeIn(dir), dir);
    sleepMs(2000);
    const double afterStart = residentMb(r.pid);
    startRun(r);
    std::vector<double> beyond;
    int asked = 0;
    for (; asked < 162; ++asked) {
        if (!nextQuestion(r)) break;
        sleepMs(150);  // past the pause before the answer is read
        if (asked < timedQuestions) {
            for (KeySym digit : {XK_1, XK_2}) {
                const double took = keyToScreen(r, digit);
                if (took >= 0) beyond.push_back(took - 300);
            }
        } else {
            keyToScreen(r, XK_g);
        }
    }
    const Window results = waitMapped(10000);
    sleepMs(1000);
    const double afterTest = residentMb(r.pid);
    const std::string where = residentBreakdown(r.pid);
    if (results) closeWindow(results);
    stop(r.pid);
    std::printf("   a digit typed in a test to the digit shown, beyond the reader's 300 ms pause, %zu digits:"
                " p50 %.1f ms  p95 %.1f ms  max %.1f ms   (target p95 <= 16 ms)\n",
                beyond.size(), percentile(beyond, 0.5), percentile(beyond, 0.95), percentile(beyond, 1));
    std::printf("5. Resident memory (VmRSS)\n");
    std::printf("   bare Qt window two seconds after start %.1f MB\n", bareResidentMb(reference));
    std::printf("   program after start %.1f MB; after a 全段 test with sounds on (%d questions%s) %.1f MB   (target <= 50 MB)\n",
                afterStart, asked, results ? ", results window open" : ", NO RESULTS WINDOW", afterTest);
    std::printf("   of which (MB): %s\n", where.c_str());
}

void leakCheck(int tests) {
    const std::string dir = folderWith("leak", kQuickTableTest);
    Running r = start(exeIn(dir), dir);
    sleepMs(1500);
    std::vector<double> rss;
    for (int t = 0; t < tests; ++t) {
        startRun(r);
        for (int q = 0; q < 27; ++q) {
            if (!nextQuestion(r)) break;
            sleepMs(150);
            keyToScreen(r, XK_g);
        }
        const Window results = waitMapped(10000);
        sleepMs(500);
        rss.push_back(residentMb(r.pid));
        if (!results) break;
        closeWindow(results);
        sleepMs(300);
    }
    stop(r.pid);
    std::printf("   after each of %zu tests of one table in one process (MB):", rss.size());
    for (double m : rss) std::printf(" %.1f", m);
    std::printf("\n   growth from the first test to the last: %+.2f MB   (target: none)\n",
                rss.empty() ? 0.0 : rss.back() - rss.front());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <program folder> <reference executable> <scratch folder>\n", argv[0]);
        return 2;
    }
    // The program starts in folders of its own: every path must hold from there.
    auto absolute = [](const char* path) {
        char* full = realpath(path, nullptr);
        const std::string out = full ? full : path;
        std::free(full);
        return out;
    };
    programDir = absolute(argv[1]);
    const std::string reference = absolute(argv[2]);
    scratch = absolute(argv[3]);
    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "the X server has no XTest\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    const char* only = std::getenv("BENCH_ONLY");  // e.g. BENCH_ONLY=1 for the start-up alone
    auto wanted = [&](char part) { return !only || std::string(only).find(part) != std::string::npos; };
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const char* rounds = std::getenv("BENCH_ROUNDS");
    if (wanted('1')) startUp(reference, rounds ? std::max(1, std::atoi(rounds)) : 3, 15);
    if (wanted('2')) idleCpu();
    if (wanted('4')) gToScreen(100);
    if (wanted('4') || wanted('5')) digitsAndMemory(50, reference);
    if (wanted('5')) leakCheck(10);
    XCloseDisplay(dpy);
    return 0;
}
