// A knob or rocker half held down: one step at once, then steps at a rate that grows the longer it is held, as a
// real detented knob turned on and on. The same pacing serves the mouse, a finger and a key.

// One step at the press; after HOLD_S the steps repeat at FIRST_RATE a second, and after FAST_AFTER_S of
// repeating at FAST_RATE (a 90 deg heading change of 1 deg steps then takes about 5 s held).
export const HOLD_S = 0.5;
export const FIRST_RATE = 10;
export const FAST_AFTER_S = 2;
export const FAST_RATE = 25;

// The steps a hold has made `t` seconds after its press (the press's own included).
export function stepsAfter(t) {
  if (t < HOLD_S) return 1;
  const repeating = t - HOLD_S;
  if (repeating < FAST_AFTER_S) return 1 + Math.floor(repeating * FIRST_RATE);
  return 1 + FAST_AFTER_S * FIRST_RATE + Math.floor((repeating - FAST_AFTER_S) * FAST_RATE);
}

// Starts a hold: `step()` at once and as the pacing wants while held; answers the function that ends the hold.
// `now()` is the pilot's clock in seconds.
export function hold(step, now = () => performance.now() / 1000) {
  const from = now();
  let made = 0, timer = 0, held = true;
  function tick() {
    if (!held) return;
    const due = stepsAfter(now() - from);
    // A slow frame is caught up by a few steps, never by a burst of them.
    for (let k = 0; made < due && k < 3; k++, made++) step();
    made = Math.max(made, due - 3);
    timer = setTimeout(tick, 1000 / FAST_RATE / 2);
  }
  tick();
  return () => {
    held = false;
    clearTimeout(timer);
  };
}
