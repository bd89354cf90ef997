#include "granite/pulse/CPulseLoopbacks.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace Granite {
namespace {
// The property that marks a loopback as this program's, with the process that loaded it.
constexpr const char* kOwnerProperty = "vidora.monitor.owner=";
// Long enough to carry over the server's scheduling, short enough that speech still matches the lips.
constexpr const char* kLatency = "latency_msec=60";

bool Running(long process) {
    return kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM;
}

void Forget(pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
}
} // namespace

std::string CPulseLoopbacks::Arguments(const std::string& source, long owner) {
    // Quoted, the name may hold anything but what would end the quotes or the arguments.
    const bool passable = !source.empty() && std::none_of(source.begin(), source.end(), [](char c) {
        return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    });
    if (!passable)
        return {};
    return "source=\"" + source + "\" source_dont_move=true " + kLatency +
           " sink_input_properties=" + kOwnerProperty + std::to_string(owner);
}

long CPulseLoopbacks::Owner(const char* arguments) {
    if (arguments == nullptr)
        return 0;
    const char* at = std::strstr(arguments, kOwnerProperty);
    if (at == nullptr)
        return 0;
    char* end = nullptr;
    const long owner = std::strtol(at + std::strlen(kOwnerProperty), &end, 10);
    return owner > 0 ? owner : 0;
}

void CPulseLoopbacks::Want(pa_context* context, const std::string& source, bool on) {
    auto it = loopbacks_.find(source);
    if (it == loopbacks_.end()) {
        if (!on)
            return;
        auto loopback = std::make_unique<Loopback>();
        loopback->owner = this;
        loopback->source = source;
        it = loopbacks_.emplace(source, std::move(loopback)).first;
    }
    it->second->wanted = on;
    Sync(context, source);
}

void CPulseLoopbacks::SourceRemoved(pa_context* context, const std::string& source) {
    // The server ends a loopback whose source went; asking again covers servers that keep it.
    Want(context, source, false);
}

void CPulseLoopbacks::ReleaseAll(pa_context* context) {
    std::vector<std::string> sources;
    for (const auto& [source, loopback] : loopbacks_)
        sources.push_back(source);
    for (const std::string& source : sources)
        Want(context, source, false);
}

bool CPulseLoopbacks::Settled() {
    // Requests answered are let go; the rest keep the loopbacks unsettled.
    unloads_.erase(std::remove_if(unloads_.begin(), unloads_.end(),
                                  [](pa_operation* operation) {
                                      if (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
                                          return false;
                                      pa_operation_unref(operation);
                                      return true;
                                  }),
                   unloads_.end());
    return unloads_.empty() && loopbacks_.empty();
}

void CPulseLoopbacks::Lost() {
    // Cancelled requests are never answered: no callback sees a record that is gone.
    for (auto& [source, loopback] : loopbacks_) {
        if (loopback->loading != nullptr) {
            pa_operation_cancel(loopback->loading);
            pa_operation_unref(loopback->loading);
        }
    }
    loopbacks_.clear();
    for (pa_operation* operation : unloads_) {
        pa_operation_cancel(operation);
        pa_operation_unref(operation);
    }
    unloads_.clear();
    if (sweep_ != nullptr) {
        pa_operation_cancel(sweep_);
        pa_operation_unref(sweep_);
        sweep_ = nullptr;
    }
}

void CPulseLoopbacks::SweepLeftovers(pa_context* context) {
    if (sweep_ != nullptr || context == nullptr)
        return;
    sweep_ = pa_context_get_module_info_list(context, OnModule, this);
}

bool CPulseLoopbacks::Loaded(const std::string& source) const {
    auto it = loopbacks_.find(source);
    return it != loopbacks_.end() && it->second->module != PA_INVALID_INDEX;
}

void CPulseLoopbacks::Sync(pa_context* context, const std::string& source) {
    auto it = loopbacks_.find(source);
    if (it == loopbacks_.end())
        return;
    Loopback& loopback = *it->second;
    if (loopback.loading != nullptr)
        return; // decided when the server answers
    if (loopback.wanted && loopback.module == PA_INVALID_INDEX) {
        const std::string arguments = Arguments(source, static_cast<long>(getpid()));
        if (context != nullptr && !arguments.empty())
            loopback.loading =
                pa_context_load_module(context, "module-loopback", arguments.c_str(), OnLoaded, &loopback);
        if (loopback.loading == nullptr)
            loopbacks_.erase(it); // the server cannot be asked: nothing is loaded
        return;
    }
    if (!loopback.wanted) {
        if (loopback.module != PA_INVALID_INDEX)
            Unload(context, loopback.module);
        loopbacks_.erase(it);
    }
}

void CPulseLoopbacks::Unload(pa_context* context, uint32_t module) {
    if (context == nullptr)
        return;
    if (pa_operation* operation = pa_context_unload_module(context, module, OnUnloaded, this))
        unloads_.push_back(operation);
}

void CPulseLoopbacks::OnLoaded(pa_context* context, uint32_t index, void* userdata) {
    auto* loopback = static_cast<Loopback*>(userdata);
    CPulseLoopbacks* owner = loopback->owner;
    pa_operation_unref(loopback->loading);
    loopback->loading = nullptr;
    loopback->module = index;
    const std::string source = loopback->source;
    if (index == PA_INVALID_INDEX)
        loopback->wanted = false; // refused: nothing to hear, nothing to unload
    owner->Sync(context, source);
    if (owner->answered_)
        owner->answered_();
}

void CPulseLoopbacks::OnUnloaded(pa_context*, int, void* userdata) {
    auto* owner = static_cast<CPulseLoopbacks*>(userdata);
    if (owner->answered_)
        owner->answered_();
}

void CPulseLoopbacks::OnModule(pa_context* context, const pa_module_info* info, int eol, void* userdata) {
    auto* owner = static_cast<CPulseLoopbacks*>(userdata);
    if (eol != 0) {
        Forget(owner->sweep_);
        owner->sweep_ = nullptr;
        return;
    }
    if (info == nullptr || info->name == nullptr || std::strcmp(info->name, "module-loopback") != 0)
        return;
    const long process = Owner(info->argument);
    if (process != 0 && (process == static_cast<long>(getpid()) || !Running(process)))
        owner->Unload(context, info->index);
}

} // namespace Granite
