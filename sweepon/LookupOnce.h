// A platform entry point looked up on first use and remembered for the rest
// of the process, a failed look-up (no address) included: a missing entry
// point does not appear later, so asking again is only wasted time.
#pragma once

namespace sweepon {

template <typename Pointer>
class LookupOnce {
public:
    template <typename Lookup>
    Pointer Get(Lookup&& lookup)
    {
        if (!lookedUp_) {
            lookedUp_ = true;
            pointer_ = lookup();
        }
        return pointer_;
    }

private:
    bool lookedUp_ = false;
    Pointer pointer_ = nullptr;
};

}  // namespace sweepon
