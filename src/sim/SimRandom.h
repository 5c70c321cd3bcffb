#pragma once
// A seeded random source whose sequence is the same on every platform, so a seed replays a run exactly.

#include <cmath>
#include <cstdint>
#include <random>

class TSimRandom {
public:
    explicit TSimRandom(uint64_t seed) : FEngine(seed) {}

    // Uniform in [0, 1).
    double Uniform() { return double(FEngine() >> 11) * (1.0 / 9007199254740992.0); }

    bool Chance(double probability) { return probability > 0.0 && Uniform() < probability; }

    // Standard normal (Box-Muller; the library's distributions differ between implementations).
    double Gauss()
    {
        if (FHasSpare) {
            FHasSpare = false;
            return FSpare;
        }
        double u = 0.0;
        while (u <= 1e-300)
            u = Uniform();
        const double v = Uniform();
        const double r = std::sqrt(-2.0 * std::log(u));
        FSpare = r * std::sin(2.0 * M_PI * v);
        FHasSpare = true;
        return r * std::cos(2.0 * M_PI * v);
    }

private:
    std::mt19937_64 FEngine;
    bool FHasSpare = false;
    double FSpare = 0.0;
};
