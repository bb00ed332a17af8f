// The page's one palette: the page's own colours (its CSS takes them from here, see applyToPage), the glass
// instruments' (the flight display, the map, the controls picture) and the chart's. A colour is named by what it
// shows, once.

// The page around the instruments.
export const page = {
  ink: '#e4e6ea',        // text, and the white of every instrument
  dim: '#9aa0a8',        // labels and secondary text
  line: '#3a3f46',       // card edges
  card: '#23272c',       // a card's background
  back: '#17191c',       // the page's background
  header: '#1e2125',
  control: '#2e3339',    // buttons
  controlHover: '#394048',
  controlEdge: '#4a5058',
  field: '#15171a',      // text fields, and the controls picture's background
  lit: '#ffd23f',        // a lit bit, a reason, a warning caption
  litBack: '#3d3411',
  litEdge: '#7a6416',
  bad: '#ff7a6b',        // an error, a dropped mode
  good: '#4fe07a',       // an exercise met
  unlit: '#5d636b',
  unlitEdge: '#2d3137',
};

// The glass instruments.
export const glass = {
  ink: page.ink,
  dim: page.dim,
  back: '#0b0d10',       // an instrument's black
  panel: '#2a2f36',      // a tape's or strip's panel
  edge: page.controlEdge,
  belowZero: '#1c1f24',  // the speed tape under zero
  sky: '#2a6fb0',
  ground: '#7a5230',
  groundBand: 'rgba(122,82,48,0.85)',  // the ground on the altitude tape
  groundHatch: 'rgba(255,179,64,0.55)',
  magenta: '#ff4fd8',    // references the autopilot flies to
  cyan: '#3fd0ff',       // references the pilot selects (selected altitude, course)
  green: page.good,      // engaged modes, the blades' share
  yellow: page.lit,      // the aircraft symbol
  amber: '#ffb340',      // a caution
  red: '#ff3b30',        // a limit's mark, and a needle past it
  shade: 'rgba(0,0,0,0.6)',
  shadeDeep: 'rgba(0,0,0,0.7)',
  readoutBack: 'rgba(0,0,0,0.75)',  // behind the radar height readout
  none: 'rgba(0,0,0,0)',
  runway: '#c8ccd2',
  navaid: '#dfe3e8',
  pad: '#1d3b2a',
  rangeRing: 'rgba(154,160,168,0.35)',
  trackLine: 'rgba(255,210,63,0.6)',
};

// The strip chart: a colour per quantity, and per kind of mode mark.
export const chart = {
  altitude: '#ffb347',
  airspeed: '#b99cff',
  heading: '#ff8fd0',
  climb_rate: '#6fa8ff',
  radar_height: '#d9e36a',
  grid: 'rgba(255,255,255,0.07)',
  rule: 'rgba(255,255,255,0.22)',
  band: 'rgba(255,255,255,0.03)',
  marks: { engaged: page.good, armed: '#ffffff', captured: glass.cyan, dropped: page.bad },
};

// The page's CSS reads its colours as custom properties: --ink, --card, --control-hover, ...
export function applyToPage(root = document.documentElement) {
  for (const [name, value] of Object.entries(page))
    root.style.setProperty('--' + name.replace(/[A-Z]/g, (c) => '-' + c.toLowerCase()), value);
}
