// The table of rated cards, like `rate --summary`: file, card name, level on the card, total
// and skill level, or the failure of a card that could not be read. Columns sort on click;
// the rows are added in batches as the worker sends them.
'use strict';

window.MorvatTable = (() => {
  const collator = new Intl.Collator('ja', { numeric: true });

  function keyOf(row, key) {
    if (row.status !== 0) return key === 'file' ? row.path : null;
    switch (key) {
      case 'file':
        return row.path;
      case 'cardName':
        return row.card.cardName;
      case 'cardLevel':
        return row.card.cardLevel;
      default:
        // The skill level is the total in tenths: both sort by the total.
        return row.card.total;
    }
  }

  function compare(a, b, key) {
    const x = keyOf(a, key);
    const y = keyOf(b, key);
    if (x === null || y === null) return x === y ? 0 : x === null ? 1 : -1;
    if (typeof x === 'number') return x - y;
    return collator.compare(x, y);
  }

  // The summary's own texts: "-" for a card without a level (a cws file), and the skill
  // level as the total in tenths with its one decimal, exact whatever the total.
  function levelText(level) {
    return level === null || level === undefined ? '-' : String(level);
  }

  function skillLevelText(total) {
    const tenths = Math.abs(total);
    return (total < 0 ? '-' : '') + Math.trunc(tenths / 10) + '.' + (tenths % 10);
  }

  function cell(tr, text, className) {
    const td = tr.insertCell();
    td.textContent = text;
    if (className) td.className = className;
    return td;
  }

  function create(table, onSelect) {
    const body = table.tBodies[0];
    let rows = [];
    let sortKey = null;
    let ascending = true;
    let selected = null;

    function render(row) {
      const tr = document.createElement('tr');
      tr.tabIndex = 0;
      tr.dataset.path = row.path;
      cell(tr, row.path, 'file');
      if (row.status === 0) {
        cell(tr, row.card.cardName);
        cell(tr, levelText(row.card.cardLevel));
        cell(tr, String(row.card.total), 'number');
        cell(tr, skillLevelText(row.card.total), 'number');
      } else {
        tr.classList.add('failed');
        const td = cell(tr, row.failure, 'failure');
        td.colSpan = 4;
      }
      if (row === selected) tr.classList.add('selected');
      row.element = tr;
      return tr;
    }

    function select(row) {
      if (selected && selected.element) selected.element.classList.remove('selected');
      selected = row;
      if (row.element) row.element.classList.add('selected');
      onSelect(row);
    }

    function rowOf(tr) {
      return rows.find((r) => r.element === tr);
    }

    body.addEventListener('click', (event) => {
      const tr = event.target.closest('tr');
      if (tr) select(rowOf(tr));
    });
    body.addEventListener('keydown', (event) => {
      const tr = event.target.closest('tr');
      if (!tr) return;
      let next = null;
      if (event.key === 'Enter' || event.key === ' ') next = tr;
      if (event.key === 'ArrowDown') next = tr.nextElementSibling;
      if (event.key === 'ArrowUp') next = tr.previousElementSibling;
      if (!next) return;
      event.preventDefault();
      next.focus();
      select(rowOf(next));
    });

    function sortBy(key) {
      ascending = sortKey === key ? !ascending : true;
      sortKey = key;
      for (const th of table.tHead.rows[0].cells) {
        th.setAttribute('aria-sort', th.dataset.key !== key ? 'none' : ascending ? 'ascending' : 'descending');
      }
      redraw();
    }

    function redraw() {
      if (sortKey) {
        const sign = ascending ? 1 : -1;
        // Failures stay at the end in either direction.
        rows.sort((a, b) => {
          if ((a.status === 0) !== (b.status === 0) && sortKey !== 'file') return a.status === 0 ? -1 : 1;
          return sign * compare(a, b, sortKey) || collator.compare(a.path, b.path);
        });
      }
      const fragment = document.createDocumentFragment();
      for (const row of rows) fragment.appendChild(row.element || render(row));
      body.replaceChildren(fragment);
    }

    for (const th of table.tHead.rows[0].cells) {
      th.querySelector('button').addEventListener('click', () => sortBy(th.dataset.key));
    }

    return {
      clear() {
        rows = [];
        selected = null;
        body.replaceChildren();
      },
      add(batch) {
        const fragment = document.createDocumentFragment();
        for (const row of batch) {
          rows.push(row);
          fragment.appendChild(render(row));
        }
        if (sortKey) redraw();
        else body.appendChild(fragment);
      },
      // A card rated again for the other side takes its row's place.
      replace(row) {
        const index = rows.findIndex((r) => r.path === row.path);
        if (index < 0) return;
        const old = rows[index];
        rows[index] = row;
        const tr = render(row);
        old.element.replaceWith(tr);
        if (selected === old) select(row);
      },
      counts() {
        const failed = rows.filter((r) => r.status !== 0).length;
        return { cards: rows.length, failed };
      },
    };
  }

  return { create };
})();
