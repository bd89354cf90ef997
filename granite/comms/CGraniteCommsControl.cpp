#include "granite/comms/CGraniteCommsControl.h"

#include "granite/comms/CGraniteCommunicationsService.h"
#include "platform/TextUtil.h"

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Granite {

CGraniteCommsControl& CGraniteCommsControl::Instance() {
    static CGraniteCommsControl control;
    return control;
}

std::string CGraniteCommsControl::Key(const std::string& text) {
    return Text::ToLower(text);
}

void CGraniteCommsControl::Reset() {
    failures_.ClearAll();
    std::lock_guard<std::mutex> guard(lock_);
    procRoot_ = "/proc";
    pollInterval_ = std::chrono::milliseconds(2000);
    terminator_ = nullptr;
    signedIn_.clear();
    inCall_.clear();
}

void CGraniteCommsControl::Fail(int32_t operation, HRESULT result, int times) {
    failures_.Fail(operation, times, result);
}

void CGraniteCommsControl::ClearFailures() {
    failures_.ClearAll();
}

HRESULT CGraniteCommsControl::Take(int32_t operation) {
    return failures_.Take(operation);
}

void CGraniteCommsControl::SetProcRoot(const std::string& root) {
    std::lock_guard<std::mutex> guard(lock_);
    procRoot_ = root;
}

std::string CGraniteCommsControl::ProcRoot() const {
    std::lock_guard<std::mutex> guard(lock_);
    return procRoot_;
}

void CGraniteCommsControl::SetPollInterval(std::chrono::milliseconds interval) {
    std::vector<CGraniteCommunicationsService*> live;
    {
        std::lock_guard<std::mutex> guard(lock_);
        pollInterval_ = interval;
        live.assign(live_.begin(), live_.end());
    }
    for (CGraniteCommunicationsService* service : live)
        service->SetPollInterval(interval);
}

std::chrono::milliseconds CGraniteCommsControl::PollInterval() const {
    std::lock_guard<std::mutex> guard(lock_);
    return pollInterval_;
}

void CGraniteCommsControl::SetTerminator(Terminator terminator) {
    std::lock_guard<std::mutex> guard(lock_);
    terminator_ = std::move(terminator);
}

bool CGraniteCommsControl::Terminate(int32_t pid) {
    Terminator terminator;
    std::string root;
    {
        std::lock_guard<std::mutex> guard(lock_);
        terminator = terminator_;
        root = procRoot_;
    }
    if (terminator)
        return terminator(pid);
    // A process id read from anywhere but the real proc file system names no real process.
    if (root != "/proc" || pid <= 1)
        return false;
    struct stat info {};
    std::string entry = "/proc/" + std::to_string(pid);
    if (::stat(entry.c_str(), &info) != 0 || info.st_uid != ::getuid())
        return false;
    return ::kill(pid, SIGTERM) == 0;
}

void CGraniteCommsControl::SetSignedInUser(const std::string& program, std::optional<std::string> user) {
    std::lock_guard<std::mutex> guard(lock_);
    signedIn_[Key(program)] = std::move(user);
}

std::optional<std::string> CGraniteCommsControl::SignedInUser(const std::string& id,
                                                              const std::string& name) const {
    std::lock_guard<std::mutex> guard(lock_);
    for (const std::string& key : {Key(id), Key(name)}) {
        auto it = signedIn_.find(key);
        if (it != signedIn_.end())
            return it->second;
    }
    return std::nullopt;
}

void CGraniteCommsControl::SetInCall(const std::string& program, bool inCall) {
    std::lock_guard<std::mutex> guard(lock_);
    if (inCall)
        inCall_.insert(Key(program));
    else
        inCall_.erase(Key(program));
}

bool CGraniteCommsControl::InCall(const std::string& id, const std::string& name) const {
    std::lock_guard<std::mutex> guard(lock_);
    return inCall_.count(Key(id)) != 0 || inCall_.count(Key(name)) != 0;
}

void CGraniteCommsControl::ScanNow() {
    std::lock_guard<std::mutex> guard(lock_);
    for (CGraniteCommunicationsService* service : live_)
        service->RequestScan();
}

void CGraniteCommsControl::Raise(Event event) {
    std::lock_guard<std::mutex> guard(lock_);
    for (CGraniteCommunicationsService* service : live_)
        service->PostEvent(event);
}

void CGraniteCommsControl::RaiseShutdown() {
    Raise([](IBrenCommunicationManagerEvents& sink) { sink.IC_OnShutdown(); });
}

size_t CGraniteCommsControl::LiveServices() const {
    std::lock_guard<std::mutex> guard(lock_);
    return live_.size();
}

void CGraniteCommsControl::Attach(CGraniteCommunicationsService* service) {
    std::lock_guard<std::mutex> guard(lock_);
    live_.insert(service);
}

void CGraniteCommsControl::Detach(CGraniteCommunicationsService* service) {
    std::lock_guard<std::mutex> guard(lock_);
    live_.erase(service);
}

} // namespace Granite
