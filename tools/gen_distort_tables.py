#!/usr/bin/env python3
"""Designs the amp (FIR) and cabinet (IIR) responses of the distortion stage and writes
dsp/uDistortTables.cpp.  Standard library only.

    python3 tools/gen_distort_tables.py > dsp/uDistortTables.cpp

Method
- Each voicing is a target magnitude built from a few second-order sections of the
  well-known "Audio EQ Cookbook" (R. Bristow-Johnson): high-pass, low-pass, peaking and
  low-shelf biquads.
- Amp rows are FIR filters (in the simulator's tap order, see amp_delay) fitted to the target magnitude by weighted least squares on a
  log-spaced frequency grid.  Magnitude-only fitting alternates the least-squares solve
  with taking the phase of the current fit as the next target phase.  Taps that are
  fixed in advance (the first taps of some rows) are held and the others fitted around
  them.
- Cabinet rows without fixed taps are the exact cascade of their sections, multiplied
  out into one numerator and one denominator.  Rows with fixed taps keep them and fit
  the remaining numerator taps to target x denominator.
- Every denominator is checked for stability after rounding to single precision
  (step-down / Schur-Cohn test); the script fails otherwise.
"""
import cmath
import math
import struct
import sys

FS_LOW = 44100.0  # design rate of amp rows and cabinet rows 0..3
FS_HIGH = 96000.0  # design rate of cabinet rows 4..7 (used above 80 kHz)


def f32(v):
    return struct.unpack("f", struct.pack("f", v))[0]


# ---------------------------------------------------------------------------
# Cookbook sections: (b0, b1, b2, a0, a1, a2)

def _w(f0, fs):
    w0 = 2.0 * math.pi * f0 / fs
    return w0, math.cos(w0), math.sin(w0)


def lpf(f0, q, fs):
    w0, c, s = _w(f0, fs)
    al = s / (2 * q)
    return ((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + al, -2 * c, 1 - al)


def hpf(f0, q, fs):
    w0, c, s = _w(f0, fs)
    al = s / (2 * q)
    return ((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + al, -2 * c, 1 - al)


def peak(f0, q, db, fs):
    w0, c, s = _w(f0, fs)
    al = s / (2 * q)
    A = 10 ** (db / 40)
    return (1 + al * A, -2 * c, 1 - al * A, 1 + al / A, -2 * c, 1 - al / A)


def lowshelf(f0, db, fs, slope=1.0):
    w0, c, s = _w(f0, fs)
    A = 10 ** (db / 40)
    al = s / 2 * math.sqrt((A + 1 / A) * (1 / slope - 1) + 2)
    sa = 2 * math.sqrt(A) * al
    return (A * ((A + 1) - (A - 1) * c + sa), 2 * A * ((A - 1) - (A + 1) * c),
            A * ((A + 1) - (A - 1) * c - sa), (A + 1) + (A - 1) * c + sa,
            -2 * ((A - 1) + (A + 1) * c), (A + 1) + (A - 1) * c - sa)


def section_response(sec, w):
    b0, b1, b2, a0, a1, a2 = sec
    z1 = cmath.exp(-1j * w)
    z2 = z1 * z1
    return (b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2)


def cascade_magnitude(sections, w):
    h = 1.0 + 0j
    for s in sections:
        h *= section_response(s, w)
    return abs(h)


def poly_mul(p, q):
    r = [0.0] * (len(p) + len(q) - 1)
    for i, a in enumerate(p):
        for j, b in enumerate(q):
            r[i + j] += a * b
    return r


def poly_response(p, w):
    z1 = cmath.exp(-1j * w)
    acc = 0j
    zk = 1 + 0j
    for c in p:
        acc += c * zk
        zk *= z1
    return acc


def cascade_polys(sections):
    num, den = [1.0], [1.0]
    for b0, b1, b2, a0, a1, a2 in sections:
        num = poly_mul(num, [b0 / a0, b1 / a0, b2 / a0])
        den = poly_mul(den, [1.0, a1 / a0, a2 / a0])
    return num, den


# ---------------------------------------------------------------------------
# Linear algebra

def solve(G, r):
    n = len(r)
    M = [row[:] + [r[i]] for i, row in enumerate(G)]
    for col in range(n):
        piv = max(range(col, n), key=lambda k: abs(M[k][col]))
        M[col], M[piv] = M[piv], M[col]
        p = M[col][col]
        for k in range(col + 1, n):
            f = M[k][col] / p
            if f != 0.0:
                rowk, rowc = M[k], M[col]
                for j in range(col, n + 1):
                    rowk[j] -= f * rowc[j]
    x = [0.0] * n
    for i in range(n - 1, -1, -1):
        s = M[i][n] - sum(M[i][j] * x[j] for j in range(i + 1, n))
        x[i] = s / M[i][i]
    return x


def grid(fs, points=220, lo=40.0):
    hi = 0.499 * fs
    return [2 * math.pi * lo * (hi / lo) ** (k / (points - 1)) / fs for k in range(points)]


def gram(basis, weights):
    n = len(basis)
    G = [[0.0] * n for _ in range(n)]
    for k in range(n):
        bk = basis[k]
        for l in range(k, n):
            bl = basis[l]
            G[k][l] = G[l][k] = sum(weights[g] * (bk[g].conjugate() * bl[g]).real for g in range(len(bk)))
    trace = sum(G[k][k] for k in range(n)) / n
    for k in range(n):
        G[k][k] += 1e-6 * trace
    return G


def fit_magnitude(basis, fixed, target_mag, ws, weights, iters=30, free_scale=False):
    """Least-squares fit of sum(x_k * basis_k(w)) + fixed(w) to target_mag(w) in magnitude.
    basis: list of per-grid complex responses; fixed: per-grid complex response of held taps.
    With free_scale the target's level is an unknown too (held taps then set the level).
    Returns the taps and the target scale."""
    n = len(basis)
    G = None if free_scale else gram(basis, weights)
    phase = [-w * 8.0 for w in ws]  # start from a short linear-phase delay
    x, scale = [0.0] * n, 1.0
    for _ in range(iters):
        tgt = [target_mag[g] * cmath.exp(1j * phase[g]) for g in range(len(ws))]
        if free_scale:
            full = basis + [[-t for t in tgt]]
            rhs = [-f for f in fixed]
            x = solve(gram(full, weights),
                      [sum(weights[g] * (b[g].conjugate() * rhs[g]).real for g in range(len(ws))) for b in full])
            x, scale = x[:n], x[n]
        else:
            rhs = [t - f for t, f in zip(tgt, fixed)]
            x = solve(G, [sum(weights[g] * (b[g].conjugate() * rhs[g]).real for g in range(len(ws))) for b in basis])
        fit = [fixed[g] + sum(x[k] * basis[k][g] for k in range(n)) for g in range(len(ws))]
        phase = [cmath.phase(v) if abs(v) > 1e-12 else phase[g] for g, v in enumerate(fit)]
    return x, scale


def tap_basis(positions, ws, shape=None):
    """Responses of unit taps (or of a shared pattern 'shape' placed at each position)."""
    out = []
    for p in positions:
        row = []
        for w in ws:
            if shape is None:
                row.append(cmath.exp(-1j * w * p))
            else:
                row.append(sum(c * cmath.exp(-1j * w * (p + o)) for o, c in shape))
        out.append(row)
    return out


def rms_db_error(resp, target):
    """Level offset and rms shape error in dB over the grid (points above -40 dB of the peak)."""
    top = max(target)
    e = [20 * math.log10(max(abs(r), 1e-9) / t) for r, t in zip(resp, target) if t > 0.01 * top]
    off = sum(e) / len(e)
    return off, math.sqrt(sum((v - off) ** 2 for v in e) / len(e))


# ---------------------------------------------------------------------------
# Amp voicings (FIR, host rate)

def amp_targets(fs):
    return {
        1: [hpf(80, 0.7, fs), peak(1600, 1.0, 4.0, fs), lpf(5500, 0.7, fs), lpf(5500, 0.7, fs)],  # 4x10
        2: [hpf(90, 1.0, fs), peak(120, 1.2, 3.0, fs), peak(700, 0.9, -4.0, fs),
            peak(2500, 1.5, 5.0, fs), lpf(4500, 0.7, fs), lpf(4500, 0.7, fs)],  # 4x12
        3: [hpf(40, 0.7, fs), lowshelf(150, 6.0, fs), peak(800, 1.0, -3.0, fs),
            lpf(2800, 0.7, fs), lpf(2800, 0.7, fs)],  # Bass
        4: [hpf(100, 0.7, fs), peak(1200, 0.8, 4.0, fs), lpf(4000, 0.7, fs), lpf(4000, 0.7, fs)],  # Combo
        5: [hpf(400, 0.7, fs), hpf(400, 0.7, fs), peak(1500, 1.0, 3.0, fs),
            lpf(3000, 0.7, fs), lpf(3000, 0.7, fs)],  # Radio
    }


# Taps held as given.
AMP_FIXED = {
    1: {0: 0.00390625, 1: -0.00390625, 2: 0.0038757319562137127, 3: -0.0509033203125},
    # row 4 holds 32 values each written twice: these are the first two pairs' values
    4: {0: 9.155272709904239e-05, 1: 0.0026245119515806437},
    5: {0: 0.04132080078125, 1: 0.0997314527630806, 2: 0.1503296047449112, 3: 0.1810303032398224,
        15: -0.03125},
}


def amp_delay(k):
    """Delay in calls of amp table tap k: the simulator weighs tap 0 with the newest input
    and tap k >= 1 with the input of 64 - k calls earlier (its ring is read forwards from
    the write position), so taps 1..63 run backwards in time."""
    return 0 if k == 0 else 64 - k


def amp_response(taps, w):
    return sum(c * cmath.exp(-1j * w * amp_delay(k)) for k, c in enumerate(taps))


def design_amp_row(m, sections, fs, report):
    ws = grid(fs)
    target = [cascade_magnitude(sections, w) for w in ws]
    floor = 0.1 * max(target)
    weights = [1.0 / max(t, floor) ** 2 for t in target]  # relative (dB-like) error
    fixed_taps = {k: f32(v) for k, v in AMP_FIXED.get(m, {}).items()}
    if m == 4:
        # 32 values, each used for two consecutive taps
        count = 32

        def pair(j, w):
            return cmath.exp(-1j * w * amp_delay(2 * j)) + cmath.exp(-1j * w * amp_delay(2 * j + 1))

        free = [j for j in range(count) if j not in fixed_taps]
        basis = [[pair(j, w) for w in ws] for j in free]
        fixed = [sum(v * pair(j, w) for j, v in fixed_taps.items()) for w in ws]
        x, _ = fit_magnitude(basis, fixed, target, ws, weights)
        vals = [0.0] * count
        for j, v in fixed_taps.items():
            vals[j] = v
        for j, v in zip(free, x):
            vals[j] = v
        taps = []
        for v in vals:
            taps += [f32(v), f32(v)]
    else:
        count = 16 if m == 5 else 64
        free = [k for k in range(count) if k not in fixed_taps]
        basis = tap_basis([amp_delay(k) for k in free], ws)
        fixed = [sum(v * cmath.exp(-1j * w * amp_delay(k)) for k, v in fixed_taps.items()) for w in ws]
        x, _ = fit_magnitude(basis, fixed, target, ws, weights)
        taps = [0.0] * count
        for k, v in fixed_taps.items():
            taps[k] = v
        for k, v in zip(free, x):
            taps[k] = f32(v)
    resp = [amp_response(taps, w) for w in ws]
    report.append("amp row %d: %d taps, level %+.1f dB, shape error %.1f dB rms" %
                  ((m, len(taps)) + rms_db_error(resp, target)))
    return taps


# ---------------------------------------------------------------------------
# Cabinet responses (IIR, host rate): y = sum AA[k] x[n-k] + sum BB[k] y[n-k]

def cab_targets(fs):
    # Sixth order at most: a direct-form denominator of higher order, rounded to single
    # precision, moves its low-frequency poles outside the unit circle at 96 kHz.
    return {
        1: [hpf(80, 0.8, fs), lpf(6000, 0.54, fs), lpf(6000, 1.31, fs)],  # Fender: open back
        2: [hpf(100, 1.2, fs), peak(2800, 1.5, 4.0, fs), lpf(4500, 0.9, fs)],  # Marshall: closed 4x12
        3: [hpf(90, 0.7, fs), lpf(2800, 0.6, fs)],  # Off Axis: darker, no presence
    }


CAB_FIXED_AA = {1: [0.9525787830352783, 0.42365333437919617, -0.2993255853652954],
                5: [0.636561930179596, 0.5396552681922913, 0.30694085359573364]}
CAB_FIXED_BB = {1: [0.0, 0.37328773736953735, -0.37911346554756165]}


def is_stable(den):
    """Schur-Cohn step-down on 1 + a1 z^-1 + ... (all roots inside the unit circle)."""
    a = [float(v) for v in den]
    while len(a) > 1 and a[-1] == 0.0:
        a.pop()
    while len(a) > 1:
        k = a[-1] / a[0]
        if abs(k) >= 1.0:
            return False
        m = len(a) - 1
        a = [(a[i] - k * a[m - i]) / (1 - k * k) for i in range(m)]
    return True


def design_cab_row(r, report):
    fs = FS_HIGH if r >= 4 else FS_LOW
    model = r % 4
    aa = [0.0] * 32
    bb = [0.0] * 32
    if model == 0:
        aa[0] = 1.0
        bb[0] = 1.0
        return aa, bb
    sections = cab_targets(fs)[model]
    ws = grid(fs)
    target = [cascade_magnitude(sections, w) for w in ws]
    num, den = cascade_polys(sections)
    if r in CAB_FIXED_AA:
        # Given leading taps of the size of an impulse-response head leave no room for the
        # tiny numerator that low-frequency poles need, and a mild pole pair as in the
        # 44.1 kHz row would add a +12 dB resonance: this row is all numerator.
        den = [1.0]
    if r in CAB_FIXED_BB:
        # the feedback taps are given: only those, the remaining ones stay 0
        given = [f32(v) for v in CAB_FIXED_BB[r]]
        den = [1.0] + [-v for v in given[1:]]
    den = [f32(v) for v in den]
    if r in CAB_FIXED_AA:
        fixed_taps = {k: f32(v) for k, v in enumerate(CAB_FIXED_AA[r])}
        dresp = [poly_response(den, w) for w in ws]
        ntarget = [t * abs(d) for t, d in zip(target, dresp)]
        floor = 0.3 * max(ntarget)
        weights = [1.0 / max(t, floor) ** 2 for t in ntarget]
        free = list(range(len(fixed_taps), 32))
        basis = tap_basis(free, ws)
        fixed = [sum(v * cmath.exp(-1j * w * k) for k, v in fixed_taps.items()) for w in ws]
        x, _ = fit_magnitude(basis, fixed, ntarget, ws, weights)
        num = [0.0] * 32
        for k, v in fixed_taps.items():
            num[k] = v
        for k, v in zip(free, x):
            num[k] = f32(v)
    else:
        # exact cascade, scaled so that its peak gain is 1
        peak_gain = max(abs(poly_response(num, w) / poly_response(den, w)) for w in ws)
        num = [f32(v / peak_gain) for v in num]
    for k, v in enumerate(num):
        aa[k] = f32(v)
    for k in range(1, len(den)):
        bb[k] = f32(-den[k])
    if not is_stable([1.0] + [-bb[k] for k in range(1, 32)]):
        raise SystemExit("cabinet row %d is not stable" % r)
    resp = [poly_response(aa, w) / poly_response([1.0] + [-bb[k] for k in range(1, 32)], w) for w in ws]
    report.append("cab row %d: feedback order %d, stable, level %+.1f dB, shape error %.1f dB rms" %
                  ((r, len(den) - 1) + rms_db_error(resp, target)))
    return aa, bb


def fmt(v):
    s = "%.9g" % v
    if "e" not in s and "." not in s:
        s += ".0"
    return s + "f"


def emit_array(lines, values, per_line=4, indent="    "):
    for i in range(0, len(values), per_line):
        lines.append(indent + ", ".join(fmt(v) for v in values[i:i + per_line]) + ",")


def main():
    report = []
    fs = FS_LOW
    targets = amp_targets(fs)
    amp = []
    for m in range(1, 6):
        amp += design_amp_row(m, targets[m], fs, report)
    assert len(amp) == 272
    cab_aa, cab_bb = [], []
    for r in range(8):
        aa, bb = design_cab_row(r, report)
        cab_aa.append(aa)
        cab_bb.append(bb)

    out = []
    out.append("// Generated by tools/gen_distort_tables.py; edit the script, not this file.")
    out.append("//")
    for line in report:
        out.append("// " + line)
    out.append('#include "dsp/uDistortTables.h"')
    out.append("")
    out.append("namespace dsp::distort {")
    out.append("")
    out.append("// Amp voicings: 4x10, 4x12, Bass (64 taps each), Combo (32 values each used twice),")
    out.append("// Radio (16 taps).")
    out.append("const float AMP_COEFFICIENT_TABLE[AMP_TABLE_SIZE] = {")
    emit_array(out, amp)
    out.append("};")
    for name, rows in (("CAB_AA", cab_aa), ("CAB_BB", cab_bb)):
        out.append("")
        out.append("const float %s[CAB_ROWS][CAB_TAPS] = {" % name)
        for r, row in enumerate(rows):
            out.append("  {  // row %d" % r)
            emit_array(out, row)
            out.append("  },")
        out.append("};")
    out.append("")
    out.append("}  // namespace dsp::distort")
    sys.stdout.write("\n".join(out) + "\n")
    for line in report:
        sys.stderr.write(line + "\n")


if __name__ == "__main__":
    main()
