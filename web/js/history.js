// Undo and redo of range edits: each step is every player's range text as it
// stood once an edit settled (a paint written back, typing read, a slider let go).

import { state } from './state.js';

const past = [];
const future = [];
let current = null;

const texts = () => state.players.map((p) => p.text);
const same = (a, b) => a && b && a.length === b.length && a.every((t, i) => t === b[i]);

export function remember() {
  const now = texts();
  if (same(now, current)) return;
  if (current) past.push(current);
  current = now;
  future.length = 0;
}

// The texts to go back (or forward) to, or null when there are none.
export function undo() {
  if (!past.length) return null;
  future.push(current);
  current = past.pop();
  return current;
}

export function redo() {
  if (!future.length) return null;
  past.push(current);
  current = future.pop();
  return current;
}

export const canUndo = () => past.length > 0;
export const canRedo = () => future.length > 0;
