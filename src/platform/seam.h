#pragma once

// The one way the program reaches a replaceable part: its own implementation unless another
// was installed — a test's double, the simulated receiver, or a window that shows what a
// lower layer reports. Plain C++, so the settings core can use it in every build.
template <typename Interface> class Seam {
public:
    using Fallback = Interface& (*)();

    explicit constexpr Seam(Fallback fallback) : fallback_(fallback) {}
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    Interface& get() const { return installed_ ? *installed_ : fallback_(); }
    Interface* operator->() const { return &get(); }

    // Installs `replacement` (not owned); nullptr puts the program's own back. The program's
    // wiring installs its windows so; a test double installs through ScopedInstall instead,
    // which puts back whatever was there before, another double included.
    void install(Interface* replacement) { installed_ = replacement; }
    Interface* installed() const { return installed_; }
    // Takes `replacement` out again, if it is still the one installed, and puts the program's
    // own back (not what was there before it: that is ScopedInstall's business).
    void uninstall(const Interface* replacement) {
        if (installed_ == replacement)
            installed_ = nullptr;
    }

private:
    Fallback fallback_;
    Interface* installed_ = nullptr;
};

// Installs a replacement for the life of a scope, then puts back what was there before.
template <typename Interface> class ScopedInstall {
public:
    ScopedInstall(Seam<Interface>& seam, Interface& replacement)
        : seam_(seam), previous_(seam.installed()) {
        seam.install(&replacement);
    }
    ~ScopedInstall() { seam_.install(previous_); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    Seam<Interface>& seam_;
    Interface* previous_;
};
