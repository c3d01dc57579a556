#pragma once
// How every kind of handle the game gives out lives: entities, blips, prompts and cameras alike.
// The game numbers each kind from its own first handle upwards and never hands a number out twice,
// so a handle it is given is one of three things: alive, gone (deleted by a script, or taken away
// by the game with what it belonged to), or never made. Prompts and cameras are never deleted nor
// taken away, so for them there is no gone: alive or never made. A native given one that is not alive is a
// script's mistake the game would punish later, far from its cause; the simulated game refuses it
// at once, naming the kind and the handle (the host adds the native).

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

namespace sim {

// What the game refuses: a native given a handle it does not know, a draw outside the range asked
// for. The host turns it into a failed run naming the native.
struct Refusal : std::logic_error {
    using std::logic_error::logic_error;
};

std::string hexHandle(std::uint32_t handle);

class HandleLife {
  public:
    // kind names the handles in refusals ("entity", "blip"); goneBecause says how one of them
    // stops being alive, nullptr for a kind that never does.
    HandleLife(const char* kind, std::uint32_t first, const char* goneBecause = nullptr)
        : kind_(kind), goneBecause_(goneBecause), first_(first), next_(first) {}

    std::uint32_t issue() { return next_++; }
    bool everIssued(std::uint32_t handle) const { return handle >= first_ && handle < next_; }

    // Throws the Refusal for a handle that is not alive: never made, or gone.
    [[noreturn]] void refuse(std::uint32_t handle) const {
        if (!everIssued(handle) || goneBecause_ == nullptr)
            throw Refusal("handle " + hexHandle(handle) + " was never " + article() + kind_);
        throw Refusal("handle " + hexHandle(handle) + " is gone: the " + kind_ + " " + goneBecause_);
    }

    // The living thing a handle names in map, or the refusal. Handle 0 gives nullptr: natives give
    // it their own meaning.
    template <typename T>
    T* use(std::map<std::uint32_t, T>& map, std::uint32_t handle) const {
        if (handle == 0) return nullptr;
        if (auto it = map.find(handle); it != map.end()) return &it->second;
        refuse(handle);
    }

  private:
    std::string article() const {
        const char first = kind_[0];
        return first == 'a' || first == 'e' || first == 'i' || first == 'o' || first == 'u' ? "an " : "a ";
    }

    const char* kind_;
    const char* goneBecause_;
    std::uint32_t first_;
    std::uint32_t next_;
};

}  // namespace sim
