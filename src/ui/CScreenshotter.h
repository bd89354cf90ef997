#pragma once
// A debugging hook that photographs the program's windows, for the screenshot script and for reviewing the
// look of the windows on a headless display.
//
// Nothing happens unless VIDORA_SCREENSHOT_DIR names a folder. Then, once the program is running:
// - after VIDORA_SCREENSHOT_DELAY_MS (default 3000 ms) every visible top-level window (menus included) is
//   written as "<dir>/00-start-<window>.png", where <window> is its object name or else its class name;
//   the whole screen goes to "00-start-screen.png" where the platform can grab it (an X server can, and
//   the tray shows on it);
// - then each step that the program registered with AddStep runs in turn: its action, a pause of
//   VIDORA_SCREENSHOT_STEP_MS (default 800 ms) for the windows to settle, and the shots "NN-<step>-...";
// - at the end "<dir>/done" lists the files written, and with VIDORA_SCREENSHOT_QUIT=1 the program ends;
// - SIGUSR2 takes one more set at any time ("signal-N-...").
// Timing goes through the window timer service, so tests drive it with a virtual clock.
#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CScreenshotter : public QObject {
    Q_OBJECT
public:
    static constexpr uint32_t kDefaultDelayMs = 3000;
    static constexpr uint32_t kDefaultStepMs = 800;

    // The program's hook, called once after the application object exists: makes the process-wide
    // screenshotter and starts it when VIDORA_SCREENSHOT_DIR is set. Returns whether it is active.
    static bool Install();
    // The process-wide screenshotter, or null when the hook is off.
    static CScreenshotter* Instance();
    // Registers a step with the process-wide screenshotter; does nothing when the hook is off. Steps run in
    // the order they were added, also when they are added after the shots have started.
    static void AddStep(const std::string& name, std::function<void()> action);

    CScreenshotter(std::string folder, uint32_t delayMs, uint32_t stepMs, QObject* parent = nullptr);
    ~CScreenshotter() override;

    void Add(const std::string& name, std::function<void()> action);
    // Arms the first shot; a second call does nothing.
    void Start();
    bool IsFinished() const { return finished_; }
    // Ends the program once the last shots are written.
    void SetQuitWhenDone(bool quit) { quitWhenDone_ = quit; }

    // Writes every visible top-level window (and the screen when it can be grabbed) now, named
    // "<prefix>-<window>.png"; returns the file names written (without the folder).
    std::vector<std::string> CaptureAll(const std::string& prefix);
    const std::vector<std::string>& Written() const { return written_; }

    // The file-name part for a window: object name, else class name, reduced to letters, digits, '-', '_'.
    static std::string WindowName(const QObject& window);

signals:
    void finished();

private:
    struct Step {
        std::string name;
        std::function<void()> action;
    };

    void After(uint32_t ms, std::function<void()> then);
    void RunStep(size_t index);
    void Finish();
    void InstallSignalHandler();
    void OnSignal();

    std::string folder_;
    uint32_t delayMs_;
    uint32_t stepMs_;
    std::vector<Step> steps_;
    std::vector<std::string> written_;
    uint64_t timer_ = 0;
    bool started_ = false;
    bool finished_ = false;
    bool quitWhenDone_ = false;
    int signalShots_ = 0;
};
