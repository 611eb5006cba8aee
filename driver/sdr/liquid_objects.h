// liquid-dsp objects owned by C++: each handle destroys its object when it goes.
#ifndef HALVANE_DRIVER_SDR_LIQUID_OBJECTS_H
#define HALVANE_DRIVER_SDR_LIQUID_OBJECTS_H

// <complex> first, so liquid's complex type is std::complex<float>.
// clang-format off
#include <complex>
#include <liquid/liquid.h>
// clang-format on

#include <memory>

namespace halvane::driver::sdr {

using Complex = std::complex<float>;

template <auto Destroy>
struct LiquidDeleter {
  template <typename Object>
  void operator()(Object* object) const {
    Destroy(object);
  }
};

template <typename Handle, auto Destroy>
using LiquidPtr = std::unique_ptr<std::remove_pointer_t<Handle>, LiquidDeleter<Destroy>>;

using Discriminator = LiquidPtr<freqdem, freqdem_destroy>;
using Oscillator = LiquidPtr<nco_crcf, nco_crcf_destroy>;
using AudioResampler = LiquidPtr<rresamp_rrrf, rresamp_rrrf_destroy>;
using RealIirFilter = LiquidPtr<iirfilt_rrrf, iirfilt_rrrf_destroy>;
using ComplexIirFilter = LiquidPtr<iirfilt_crcf, iirfilt_crcf_destroy>;
using ComplexDecimator = LiquidPtr<firdecim_crcf, firdecim_crcf_destroy>;
using GainControl = LiquidPtr<agc_crcf, agc_crcf_destroy>;
using SymbolSync = LiquidPtr<symsync_crcf, symsync_crcf_destroy>;
using RealInterpolator = LiquidPtr<firinterp_rrrf, firinterp_rrrf_destroy>;

}  // namespace halvane::driver::sdr

#endif
