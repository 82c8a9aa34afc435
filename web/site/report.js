// The selected card: its report exactly as the result window shows it, line by line in a
// fixed-pitch Japanese font, the chart of the report's items, and for a card aimed at both
// sides the command line's note and the switch between the enemy and the ally side.
'use strict';

window.MorvatReport = (() => {
  // The phases as the report heads them.
  const PHASES = [
    ['first', '1st フェーズ'],
    ['second', '2nd フェーズ'],
    ['last', 'last フェーズ'],
    ['keycodes', 'キーコード'],
    ['remarks', '備考'],
  ];

  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // One bar per item, grouped by phase; bars are scaled to the largest item, points below
  // zero grow to the left of the axis.
  function drawChart(chart, items) {
    chart.replaceChildren();
    if (!Array.isArray(items) || items.length === 0) {
      chart.hidden = true;
      return;
    }
    chart.hidden = false;
    const largest = Math.max(1, ...items.map((i) => Math.abs(i.points)));
    for (const [phase, title] of PHASES) {
      const mine = items.filter((i) => i.phase === phase);
      if (mine.length === 0) continue;
      const group = element('div', 'chart-phase');
      group.appendChild(element('h3', null, title));
      for (const item of mine) {
        const line = element('div', 'chart-item');
        line.title = item.formula ? `${item.label}  ${item.formula}` : item.label;
        line.appendChild(element('span', 'chart-label', item.label));
        const track = element('span', 'chart-track');
        const bar = element('span', item.points < 0 ? 'chart-bar negative' : 'chart-bar');
        const share = (Math.abs(item.points) / largest) * 50;
        bar.style.width = `${share}%`;
        if (item.points < 0) bar.style.right = '50%';
        else bar.style.left = '50%';
        track.appendChild(bar);
        line.appendChild(track);
        line.appendChild(element('span', 'chart-points', String(item.points)));
        group.appendChild(line);
      }
      chart.appendChild(group);
    }
  }

  function create({ panel, title, report, chart, side, sideNote }, onSide) {
    const radios = Array.from(side.querySelectorAll('input[name="side"]'));
    let current = null;
    for (const radio of radios) {
      radio.addEventListener('change', () => {
        if (radio.checked && current) onSide(current, Number(radio.value));
      });
    }

    return {
      show(row) {
        current = row;
        panel.hidden = false;
        title.textContent = row.status === 0 && row.card.cardName ? `${row.card.cardName}（${row.path}）` : row.path;
        side.hidden = !row.bothSides;
        if (row.bothSides) {
          sideNote.textContent = row.note || '';
          const chosen = String(row.side || 1);
          for (const radio of radios) radio.checked = radio.value === chosen;
        }
        if (row.status === 0) {
          report.textContent = row.card.lines.join('\n');
          drawChart(chart, row.card.items);
        } else {
          report.textContent = row.failure;
          drawChart(chart, []);
        }
      },
      hide() {
        current = null;
        panel.hidden = true;
      },
    };
  }

  return { create };
})();
