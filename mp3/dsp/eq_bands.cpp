#include "mp3/dsp/eq_bands.h"

#include <cmath>
#include <new>

#include "mp3/dsp/fft_eq.h"

namespace dsp {
namespace {

int32_t SaturatedProduct(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

EqBandConfig::EqBandConfig()
    : edges{0, 115, 240, 455, 800, 2000, 4500, 9000, 13000, 15000, 96000},
      gains(10, 0),
      left(12, 1.0f),
      right(12, 1.0f) {}

bool EqReplaceBands(EqBandConfig* cfg, const int* edge_freqs, int edge_count, std::string* error) {
  if (edge_freqs == nullptr || edge_count < 2) {
    if (error) *error = "CreateEqBands->Invalid parameters !";
    return false;
  }
  std::vector<float> edges, left, right;
  std::vector<int32_t> gains;
  try {
    const size_t count = static_cast<size_t>(edge_count);
    gains.assign(count - 1, 0);
    left.assign(count + 1, 1.0f);
    right.assign(count + 1, 1.0f);
    edges.resize(count);
  } catch (const std::bad_alloc&) {
    if (error) *error = "CreateEqBands->Memory allocation error !";
    return false;
  } catch (const std::length_error&) {
    if (error) *error = "CreateEqBands->Memory allocation error !";
    return false;
  }
  for (int i = 0; i < edge_count; ++i) edges[static_cast<size_t>(i)] = static_cast<float>(edge_freqs[i]);
  std::lock_guard<std::mutex> hold(cfg->factor_lock);
  cfg->edges.swap(edges);
  cfg->gains.swap(gains);
  cfg->left.swap(left);
  cfg->right.swap(right);
  cfg->preamp = 0;
  return true;
}

int EqGetBands(const EqBandConfig& cfg, int* edge_freqs) {
  if (edge_freqs != nullptr)
    for (size_t i = 0; i < cfg.edges.size(); ++i) edge_freqs[i] = static_cast<int>(cfg.edges[i]);
  return static_cast<int>(cfg.edges.size());
}

void EqSetFftGains(EqBandConfig* cfg, int preamp, const int* gains, int gain_count, bool millidecibels) {
  const int bands = cfg->BandCount();
  int n = gain_count < bands ? gain_count : bands;
  if (gains == nullptr || n < 0) n = 0;
  const int64_t unit = millidecibels ? 1 : 1000;
  std::lock_guard<std::mutex> hold(cfg->factor_lock);
  for (int i = 0; i < n; ++i) cfg->gains[static_cast<size_t>(i)] = SaturatedProduct(gains[i] * unit);
  const size_t offset = cfg->edges.front() == 0.0f ? 0 : 1;
  if (offset == 1) cfg->left[0] = cfg->right[0] = 1.0f;
  const double preamp_db = millidecibels ? preamp / 1000.0 : preamp;
  for (int i = 0; i < n; ++i) {
    // Whole dB of the band (truncated) plus the preamp, as the subband side does.
    const double level =
        cfg->gains[static_cast<size_t>(i)] / 1000 + preamp_db;  // NOLINT(bugprone-integer-division): whole dB
    const float factor = static_cast<float>(std::pow(10.0, level / 20.0));
    cfg->left[offset + static_cast<size_t>(i)] = factor;
    cfg->right[offset + static_cast<size_t>(i)] = factor;
  }
  if (cfg->edges.back() != kEqTopEdge) cfg->left[cfg->edges.size()] = cfg->right[cfg->edges.size()] = 1.0f;
  cfg->preamp = SaturatedProduct(preamp * unit);
}

int EqGetFftGains(const EqBandConfig& cfg, bool millidecibels, int* preamp, int* gains) {
  const int bands = cfg.BandCount();
  if (preamp == nullptr) return bands;
  const int div = millidecibels ? 1 : 1000;
  *preamp = cfg.preamp / div;
  if (gains != nullptr)
    for (int i = 0; i < bands; ++i) gains[i] = cfg.gains[static_cast<size_t>(i)] / div;
  return bands;
}

void EqCopyFactors(const EqBandConfig& cfg, std::vector<float>* left, std::vector<float>* right) {
  std::lock_guard<std::mutex> hold(cfg.factor_lock);
  *left = cfg.left;
  *right = cfg.right;
}

}  // namespace dsp
