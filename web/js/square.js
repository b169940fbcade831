// The 9x9 square of hand classes: AA top left, suited above the diagonal,
// offsuit below. It draws what it is given and reports clicks and drags; what
// a class holds is the player's business.

import { CLASSES, RANKS } from './hands.js';

const LONG_PRESS_MS = 500;

const kindOf = (name) => (name.length === 2 ? 'pair' : name[2] === 's' ? 'suited' : 'offsuit');

// handlers: isIn(name) -> bool, paint(name, add), paintEnd(), openSuits(name, cell)
export function buildSquare(element, label, handlers) {
  element.classList.add('square');
  element.setAttribute('role', 'group');
  element.setAttribute('aria-label', label);
  const parts = ['<span class="corner" aria-hidden="true"></span>'];
  for (const r of RANKS) parts.push(`<span class="rank" aria-hidden="true">${r}</span>`);
  CLASSES.forEach((name, i) => {
    if (i % 9 === 0) parts.push(`<span class="rank" aria-hidden="true">${RANKS[i / 9]}</span>`);
    parts.push(
      `<button type="button" class="cell ${kindOf(name)}" data-class="${name}" data-index="${i}" ` +
        `tabindex="${i === 0 ? 0 : -1}" aria-pressed="false"><span class="name">${name}</span>` +
        `<span class="figure"></span><span class="suits" aria-hidden="true"></span></button>`,
    );
  });
  element.innerHTML = parts.join('');
  const cells = [...element.querySelectorAll('.cell')];

  let painting = null; // {add, last} while a press lasts
  let pendingTouch = null; // {cell, timer}: a touch not yet known to be a tap, a drag or a long press

  const cellAt = (x, y) => {
    const under = document.elementFromPoint(x, y)?.closest('.cell');
    return under && element.contains(under) ? under : null;
  };
  const startPaint = (cell) => {
    painting = { add: !handlers.isIn(cell.dataset.class), last: cell };
    handlers.paint(cell.dataset.class, painting.add);
  };
  const move = (e) => {
    if (pendingTouch) {
      const cell = cellAt(e.clientX, e.clientY);
      if (!cell || cell === pendingTouch.cell) return;
      clearTimeout(pendingTouch.timer);
      const first = pendingTouch.cell;
      pendingTouch = null;
      startPaint(first);
    }
    if (!painting) return;
    const cell = cellAt(e.clientX, e.clientY);
    if (cell && cell !== painting.last) {
      painting.last = cell;
      handlers.paint(cell.dataset.class, painting.add);
    }
  };
  const up = () => {
    window.removeEventListener('pointermove', move);
    window.removeEventListener('pointerup', up);
    window.removeEventListener('pointercancel', up);
    if (pendingTouch) {
      clearTimeout(pendingTouch.timer);
      const cell = pendingTouch.cell;
      pendingTouch = null;
      startPaint(cell); // a tap
    }
    if (painting) {
      painting = null;
      handlers.paintEnd();
    }
  };

  element.addEventListener('pointerdown', (e) => {
    const cell = e.target.closest('.cell');
    if (!cell || e.button !== 0) return;
    e.preventDefault(); // no text selection while dragging
    focusCell(cell);
    if (cell.hasPointerCapture(e.pointerId)) cell.releasePointerCapture(e.pointerId); // touch captures by itself
    window.addEventListener('pointermove', move);
    window.addEventListener('pointerup', up);
    window.addEventListener('pointercancel', up);
    if (e.pointerType === 'touch') {
      pendingTouch = {
        cell,
        timer: setTimeout(() => {
          pendingTouch = null;
          handlers.openSuits(cell.dataset.class, cell);
        }, LONG_PRESS_MS),
      };
    } else {
      startPaint(cell);
    }
  });

  // A click from the keyboard (Enter, Space) has detail 0; a pointer's was painted already.
  element.addEventListener('click', (e) => {
    const cell = e.target.closest('.cell');
    if (!cell || e.detail !== 0) return;
    handlers.paint(cell.dataset.class, !handlers.isIn(cell.dataset.class));
    handlers.paintEnd();
  });

  element.addEventListener('contextmenu', (e) => {
    const cell = e.target.closest('.cell');
    if (!cell) return;
    e.preventDefault();
    handlers.openSuits(cell.dataset.class, cell);
  });

  const focusCell = (cell) => {
    for (const c of cells) c.tabIndex = c === cell ? 0 : -1;
    cell.focus();
  };

  // One tab stop for the square; the arrows move within it.
  element.addEventListener('keydown', (e) => {
    const cell = e.target.closest('.cell');
    if (!cell) return;
    const i = Number(cell.dataset.index);
    const steps = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -9, ArrowDown: 9 };
    if (e.key in steps) {
      const row = Math.floor(i / 9);
      const next = i + steps[e.key];
      const sameRow = Math.floor(next / 9) === row;
      if (next >= 0 && next < 81 && (Math.abs(steps[e.key]) === 9 || sameRow)) focusCell(cells[next]);
      e.preventDefault();
    } else if (e.key === 'Home' || e.key === 'End') {
      focusCell(cells[e.key === 'Home' ? 0 : 80]);
      e.preventDefault();
    }
  });
  return cells;
}

// looks[i]: {fill 0..1, suits ("2/4" when only some are in, else ""), blocked,
// pressed true|false|'mixed', colour or null, figure, label, title}
export function drawSquare(cells, looks, coloured) {
  cells[0].parentElement.classList.toggle('coloured', coloured);
  cells.forEach((cell, i) => {
    const look = looks[i];
    cell.style.setProperty('--f', look.fill.toFixed(3));
    if (look.colour) cell.style.setProperty('--fill', look.colour);
    else cell.style.removeProperty('--fill');
    cell.classList.toggle('blank', coloured && !look.colour);
    cell.classList.toggle('some-suits', look.suits !== '');
    cell.classList.toggle('blocked', look.blocked);
    cell.querySelector('.suits').textContent = look.suits;
    cell.setAttribute('aria-pressed', String(look.pressed));
    cell.setAttribute('aria-label', look.label);
    cell.title = look.title;
    cell.querySelector('.figure').textContent = look.figure;
  });
}
