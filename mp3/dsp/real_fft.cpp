#include "mp3/dsp/real_fft.h"

#include <atomic>
#include <cmath>
#include <utility>

#if defined(__x86_64__)
#define JED_FFT_AVX2 1
#include <immintrin.h>
#endif

namespace dsp {
namespace {

std::atomic<bool> g_allow_simd{true};

// Radix-4 stages with a twiddle set: block lengths N, N/4, ... above 4. A stage keeps the runs
// w^q, then w^2q, then w^3q (w = e^(-2pi i/L)), each as interleaved complex values, so that
// consecutive q load as one vector.
// With an odd number of bits, a radix-2 stage over the whole length comes first (w^q for
// q < N/2), so that the last stage is always the twiddle-free length 4.
bool HasRadix2Stage(int complex_size) {
  int bits = 0;
  while ((1 << bits) < complex_size) ++bits;
  return (bits & 1) != 0;
}

void BuildStageTwiddles(int complex_size, std::vector<float>* out) {
  out->clear();
  int first = complex_size;
  if (HasRadix2Stage(complex_size)) {
    for (int q = 0; q < complex_size / 2; ++q) {
      const double angle = -2.0 * M_PI * q / complex_size;
      out->push_back(static_cast<float>(std::cos(angle)));
      out->push_back(static_cast<float>(std::sin(angle)));
    }
    first = complex_size / 2;
  }
  for (int len = first; len > 4; len >>= 2) {
    const int quarter = len / 4;
    for (int r = 1; r <= 3; ++r) {
      for (int q = 0; q < quarter; ++q) {
        const double angle = -2.0 * M_PI * r * q / len;
        out->push_back(static_cast<float>(std::cos(angle)));
        out->push_back(static_cast<float>(std::sin(angle)));
      }
    }
  }
}

void BuildRealPass(int n, std::vector<float>* out) {
  const int half = n / 2;
  out->assign(static_cast<size_t>(half), 0.0f);
  for (int k = 1; k < half / 2; ++k) {
    const double angle = 2.0 * M_PI * k / n;
    (*out)[2 * k] = static_cast<float>(std::cos(angle));
    (*out)[2 * k + 1] = static_cast<float>(std::sin(angle));
  }
}

void BuildSwapPairs(int complex_size, std::vector<uint32_t>* out) {
  out->clear();
  int bits = 0;
  while ((1 << bits) < complex_size) ++bits;
  for (uint32_t i = 0; i < static_cast<uint32_t>(complex_size); ++i) {
    uint32_t rev = 0;
    for (int b = 0; b < bits; ++b) rev |= ((i >> b) & 1u) << (bits - 1 - b);
    if (i < rev) {
      out->push_back(i);
      out->push_back(rev);
    }
  }
}

void PrepareTables(int n, FftWorkTables* t) {
  if (t->built_size == n) return;
  BuildStageTwiddles(n / 2, &t->stage_twiddles);
  BuildRealPass(n, &t->real_pass);
  BuildSwapPairs(n / 2, &t->swap_pairs);
  t->built_size = n;
}

inline void MulTwiddle(float* z, float yr, float yi, const float* w) {
  z[0] = yr * w[0] - yi * w[1];
  z[1] = yr * w[1] + yi * w[0];
}

// One radix-4 decimation-in-frequency butterfly. The outputs for frequency residues 0, 2, 1, 3
// go to the quarters 0..3, so the finished transform is in plain bit-reversed order.
// w1, w2, w3 are null for the twiddle-free last stage.
inline void Butterfly4(float* a, float* b, float* c, float* d, const float* w1, const float* w2, const float* w3) {
  const float t0r = a[0] + c[0], t0i = a[1] + c[1];
  const float t1r = a[0] - c[0], t1i = a[1] - c[1];
  const float t2r = b[0] + d[0], t2i = b[1] + d[1];
  const float t3r = b[1] - d[1], t3i = d[0] - b[0];  // (b - d) * -i
  a[0] = t0r + t2r;
  a[1] = t0i + t2i;
  if (w1 == nullptr) {
    b[0] = t0r - t2r, b[1] = t0i - t2i;
    c[0] = t1r + t3r, c[1] = t1i + t3i;
    d[0] = t1r - t3r, d[1] = t1i - t3i;
    return;
  }
  MulTwiddle(b, t0r - t2r, t0i - t2i, w2);
  MulTwiddle(c, t1r + t3r, t1i + t3i, w1);
  MulTwiddle(d, t1r - t3r, t1i - t3i, w3);
}

void Radix4StageScalar(float* d, int complex_size, int len, const float* tw) {
  const int quarter = len / 4;
  for (int start = 0; start < complex_size; start += len) {
    float* base = d + 2 * start;
    for (int q = 0; q < quarter; ++q) {
      float* a = base + 2 * q;
      Butterfly4(a, a + 2 * quarter, a + 4 * quarter, a + 6 * quarter, tw + 2 * q, tw + 2 * quarter + 2 * q,
                 tw + 4 * quarter + 2 * q);
    }
  }
}

// Radix-2 over the whole length: even frequencies to the first half, odd (times w^q) to the
// second, again matching the bit-reversed order.
void Radix2StageScalar(float* d, int complex_size, const float* tw) {
  const int half = complex_size / 2;
  for (int q = 0; q < half; ++q) {
    float* a = d + 2 * q;
    float* b = a + 2 * half;
    const float dr = a[0] - b[0], di = a[1] - b[1];
    a[0] += b[0];
    a[1] += b[1];
    MulTwiddle(b, dr, di, tw + 2 * q);
  }
}

#if defined(__SSE2__)
// The last stage: each block of four complex values is one butterfly, done in two registers.
void LastStage4(float* d, int complex_size) {
  const __m128 negate_last = _mm_setr_ps(0, 0, 0, -0.0f);
  for (int i = 0; i < 2 * complex_size; i += 8) {
    const __m128 lo = _mm_loadu_ps(d + i);                                       // a, b
    const __m128 hi = _mm_loadu_ps(d + i + 4);                                   // c, d
    const __m128 s = _mm_add_ps(lo, hi);                                         // t0 = a + c, t2 = b + d
    const __m128 df = _mm_sub_ps(lo, hi);                                        // t1 = a - c, b - d
    const __m128 u = _mm_movelh_ps(s, df);                                       // t0, t1
    __m128 w = _mm_movehl_ps(df, s);                                             // t2, b - d
    w = _mm_xor_ps(_mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 3, 1, 0)), negate_last);  // t2, t3
    const __m128 p = _mm_add_ps(u, w);                                           // y0, y1
    const __m128 m = _mm_sub_ps(u, w);                                           // y2, y3
    _mm_storeu_ps(d + i, _mm_movelh_ps(p, m));                                   // y0, y2
    _mm_storeu_ps(d + i + 4, _mm_movehl_ps(m, p));                               // y1, y3
  }
}
#else
void LastStage4(float* d, int complex_size) {
  for (int i = 0; i < 2 * complex_size; i += 8)
    Butterfly4(d + i, d + i + 2, d + i + 4, d + i + 6, nullptr, nullptr, nullptr);
}
#endif

#ifdef JED_FFT_AVX2

// Complex products of interleaved values, four at a time.
__attribute__((target("avx2,fma"))) inline __m256 ComplexMul(__m256 z, __m256 w) {
  const __m256 wr = _mm256_moveldup_ps(w);
  const __m256 wi = _mm256_movehdup_ps(w);
  const __m256 zs = _mm256_permute_ps(z, 0xB1);
  return _mm256_fmaddsub_ps(z, wr, _mm256_mul_ps(zs, wi));
}

// The radix-4 stage for block lengths of 16 and more: four q per step.
__attribute__((target("avx2,fma"))) void Radix4StageAvx(float* d, int complex_size, int len, const float* tw) {
  const int quarter = len / 4;
  const __m256 negate_imag = _mm256_setr_ps(0, -0.0f, 0, -0.0f, 0, -0.0f, 0, -0.0f);
  for (int start = 0; start < complex_size; start += len) {
    float* base = d + 2 * start;
    for (int q = 0; q < quarter; q += 4) {
      float* pa = base + 2 * q;
      float* pb = pa + 2 * quarter;
      float* pc = pa + 4 * quarter;
      float* pd = pa + 6 * quarter;
      const __m256 a = _mm256_loadu_ps(pa), b = _mm256_loadu_ps(pb);
      const __m256 c = _mm256_loadu_ps(pc), e = _mm256_loadu_ps(pd);
      const __m256 t0 = _mm256_add_ps(a, c), t1 = _mm256_sub_ps(a, c);
      const __m256 t2 = _mm256_add_ps(b, e);
      // (b - d) * -i = (im, -re)
      const __m256 t3 = _mm256_xor_ps(_mm256_permute_ps(_mm256_sub_ps(b, e), 0xB1), negate_imag);
      const float* w = tw + 2 * q;
      _mm256_storeu_ps(pa, _mm256_add_ps(t0, t2));
      _mm256_storeu_ps(pb, ComplexMul(_mm256_sub_ps(t0, t2), _mm256_loadu_ps(w + 2 * quarter)));
      _mm256_storeu_ps(pc, ComplexMul(_mm256_add_ps(t1, t3), _mm256_loadu_ps(w)));
      _mm256_storeu_ps(pd, ComplexMul(_mm256_sub_ps(t1, t3), _mm256_loadu_ps(w + 4 * quarter)));
    }
  }
}

__attribute__((target("avx2,fma"))) void Radix2StageAvx(float* d, int complex_size, const float* tw) {
  const int half = complex_size / 2;
  for (int q = 0; q < half; q += 4) {
    float* pa = d + 2 * q;
    float* pb = pa + 2 * half;
    const __m256 a = _mm256_loadu_ps(pa), b = _mm256_loadu_ps(pb);
    _mm256_storeu_ps(pa, _mm256_add_ps(a, b));
    _mm256_storeu_ps(pb, ComplexMul(_mm256_sub_ps(a, b), _mm256_loadu_ps(tw + 2 * q)));
  }
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return has && g_allow_simd.load(std::memory_order_relaxed);
}
#endif

// In-place complex FFT with the e^(-2pi i jk/N) kernel, natural order in and out.
bool UseAvx() {
#ifdef JED_FFT_AVX2
  return HasAvx2();
#else
  return false;
#endif
}

void ComplexFft(float* d, int complex_size, const FftWorkTables& t, bool avx) {
  const float* tw = t.stage_twiddles.data();
  int len = complex_size;
  if (HasRadix2Stage(complex_size)) {
#ifdef JED_FFT_AVX2
    if (avx && complex_size >= 8)
      Radix2StageAvx(d, complex_size, tw);
    else
#endif
      Radix2StageScalar(d, complex_size, tw);
    tw += complex_size;
    len = complex_size / 2;
  }
  for (; len > 4; len >>= 2) {
#ifdef JED_FFT_AVX2
    if (avx)
      Radix4StageAvx(d, complex_size, len, tw);
    else
#endif
      Radix4StageScalar(d, complex_size, len, tw);
    tw += 6 * (len / 4);
  }
  if (len == 4) LastStage4(d, complex_size);
  const uint32_t* pairs = t.swap_pairs.data();
  for (size_t p = 0; p < t.swap_pairs.size(); p += 2) {
    float* x = d + 2 * pairs[p];
    float* y = d + 2 * pairs[p + 1];
    std::swap(x[0], y[0]);
    std::swap(x[1], y[1]);
  }
}

// Turns the half-length complex spectrum Z into the packed real spectrum, for pairs k and
// half - k with k in [begin, end).
void RealPassForwardScalar(float* d, int half, const float* cs, int begin, int end) {
  for (int k = begin; k < end; ++k) {
    const int j = half - k;
    const float zkr = d[2 * k], zki = d[2 * k + 1];
    const float zjr = d[2 * j], zji = d[2 * j + 1];
    const float er = 0.5f * (zkr + zjr), ei = 0.5f * (zki - zji);
    const float orr = 0.5f * (zki + zji), oi = -0.5f * (zkr - zjr);
    const float c = cs[2 * k], s = cs[2 * k + 1];
    const float wor = c * orr + s * oi, woi = c * oi - s * orr;
    d[2 * k] = er + wor;
    d[2 * k + 1] = -(ei + woi);
    d[2 * j] = er - wor;
    d[2 * j + 1] = ei - woi;
  }
}

// The exact inverse of the forward pass, leaving conj(Z) so that the forward kernel inverts.
void RealPassInverseScalar(float* d, int half, const float* cs, int begin, int end) {
  for (int k = begin; k < end; ++k) {
    const int j = half - k;
    const float ak = d[2 * k], bk = d[2 * k + 1];
    const float aj = d[2 * j], bj = d[2 * j + 1];
    const float er = 0.5f * (ak + aj), ei = 0.5f * (bj - bk);
    const float pr = 0.5f * (ak - aj), pi = -0.5f * (bk + bj);
    const float c = cs[2 * k], s = cs[2 * k + 1];
    const float orr = c * pr - s * pi, oi = c * pi + s * pr;
    d[2 * k] = er - oi;
    d[2 * k + 1] = -(ei + orr);
    d[2 * j] = er + oi;
    d[2 * j + 1] = -(orr - ei);
  }
}

#ifdef JED_FFT_AVX2
// Four pairs per step: k .. k+3 against half-k .. half-k-3, the latter loaded in reverse.
__attribute__((target("avx2,fma"))) inline __m256 ReverseComplex(__m256 x) {
  return _mm256_permute_ps(_mm256_permute2f128_ps(x, x, 1), _MM_SHUFFLE(1, 0, 3, 2));
}

__attribute__((target("avx2,fma"))) int RealPassAvx(float* d, int half, const float* cs, bool inverse) {
  const __m256 odd = _mm256_setr_ps(0, -0.0f, 0, -0.0f, 0, -0.0f, 0, -0.0f);
  const __m256 even = _mm256_setr_ps(-0.0f, 0, -0.0f, 0, -0.0f, 0, -0.0f, 0);
  const __m256 one_half = _mm256_set1_ps(0.5f);
  int k = 1;
  for (; k + 3 < half / 2; k += 4) {
    float* pk = d + 2 * k;
    float* pj = d + 2 * (half - k - 3);
    const __m256 zk = _mm256_loadu_ps(pk);
    const __m256 zj = ReverseComplex(_mm256_loadu_ps(pj));
    const __m256 w = _mm256_loadu_ps(cs + 2 * k);  // (c, s)
    __m256 out_k, out_j;
    if (!inverse) {
      const __m256 conj_j = _mm256_xor_ps(zj, odd);
      const __m256 a = _mm256_mul_ps(one_half, _mm256_add_ps(zk, conj_j));  // (er, ei)
      const __m256 b = _mm256_mul_ps(one_half, _mm256_sub_ps(zk, conj_j));
      const __m256 o = _mm256_xor_ps(_mm256_permute_ps(b, 0xB1), odd);  // b * -i
      const __m256 wo = ComplexMul(o, _mm256_xor_ps(w, odd));           // (c - is) o
      out_k = _mm256_xor_ps(_mm256_add_ps(a, wo), odd);
      out_j = _mm256_sub_ps(a, wo);
    } else {
      const __m256 conj_k = _mm256_xor_ps(zk, odd);
      const __m256 e = _mm256_mul_ps(one_half, _mm256_add_ps(conj_k, zj));
      const __m256 p = _mm256_mul_ps(one_half, _mm256_sub_ps(conj_k, zj));
      const __m256 o = ComplexMul(p, w);                                  // (c + is) p
      const __m256 io = _mm256_xor_ps(_mm256_permute_ps(o, 0xB1), even);  // o * i
      out_k = _mm256_xor_ps(_mm256_add_ps(e, io), odd);
      out_j = _mm256_sub_ps(e, io);
    }
    _mm256_storeu_ps(pk, out_k);
    _mm256_storeu_ps(pj, ReverseComplex(out_j));
  }
  return k;
}
#endif

void RealPassForward(float* d, int n, const float* cs, bool avx) {
  const int half = n / 2;
  int k = 1;
#ifdef JED_FFT_AVX2
  if (avx) k = RealPassAvx(d, half, cs, false);
#endif
  (void)avx;
  RealPassForwardScalar(d, half, cs, k, half / 2);
  const float z0r = d[0], z0i = d[1];
  d[0] = z0r + z0i;
  d[1] = z0r - z0i;
}

void RealPassInverse(float* d, int n, const float* cs, bool avx) {
  const int half = n / 2;
  int k = 1;
#ifdef JED_FFT_AVX2
  if (avx) k = RealPassAvx(d, half, cs, true);
#endif
  (void)avx;
  RealPassInverseScalar(d, half, cs, k, half / 2);
  d[half + 1] = -d[half + 1];
  const float x0 = d[0], xh = d[1];
  d[0] = 0.5f * (x0 + xh);
  d[1] = -0.5f * (x0 - xh);
}

}  // namespace

void RealFftAllowSimd(bool allow) { g_allow_simd.store(allow, std::memory_order_relaxed); }

bool RealFft(int n, int direction, float* data, FftWorkTables* tables) {
  if (tables == nullptr) return false;
  if (n == 0) {
    *tables = FftWorkTables{};
    return true;
  }
  if (!IsFftSize(n) || data == nullptr) return false;
  PrepareTables(n, tables);
  const float* cs = tables->real_pass.data();
  const bool avx = UseAvx();
  if (direction >= 0) {
    ComplexFft(data, n / 2, *tables, avx);
    RealPassForward(data, n, cs, avx);
  } else {
    RealPassInverse(data, n, cs, avx);
    ComplexFft(data, n / 2, *tables, avx);
    for (int i = 1; i < n; i += 2) data[i] = -data[i];
  }
  return true;
}

}  // namespace dsp
