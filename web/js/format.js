// How figures and user text are written into the page, the same everywhere.

export const escapeHtml = (text) =>
  text.replace(/[&<>"']/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' })[c]);

export const percent = (fraction, digits = 2) => `${(100 * fraction).toFixed(digits)}%`;

export const grouped = (n) => Number(n).toLocaleString('en-US');

// "1 board", "2 boards".
export const counted = (n, word) => `${grouped(n)} ${word}${Number(n) === 1 ? '' : 's'}`;

// 0.5 -> "50", 0.3333 -> "33.3": a tenth only when there is one.
export function shortPercent(fraction) {
  const text = (100 * fraction).toFixed(1);
  return text.endsWith('.0') ? text.slice(0, -2) : text;
}

// A name the server writes for scripts, in a table's words: "top_pair" -> "top pair".
const WORDS = { open_ended: 'open-ended', two_tone: 'two-tone' };
export const words = (name) => WORDS[name] ?? name.replace(/_/g, ' ');

// 42 -> "42 s", 1500 -> "25 min", 9000 -> "2.5 h": a duration as a person says it.
export function duration(seconds) {
  if (seconds < 90) return `${Math.max(1, Math.round(seconds))} s`;
  if (seconds < 5400) return `${Math.round(seconds / 60)} min`;
  return `${(seconds / 3600).toFixed(1)} h`;
}
