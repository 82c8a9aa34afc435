// Wires the page: the choosers and the drop area hand files to the worker, the worker's rows
// fill the table with a progress bar, a selected row shows its report.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const progress = $('progress');
  const status = $('status');
  const worker = new Worker(URL.createObjectURL(new Blob([window.morvatWorkerSource], { type: 'text/javascript' })));

  const report = MorvatReport.create(
    { panel: $('detail'), title: $('detail-title'), report: $('report'), chart: $('chart'), side: $('side'), sideNote: $('side-note') },
    (row, side) => worker.postMessage({ type: 'side', path: row.path, side }),
  );
  const table = MorvatTable.create($('cards'), (row) => report.show(row));

  function showCounts() {
    const { cards, failed } = table.counts();
    $('counts').textContent = `カード ${cards} 枚、読み込みに失敗したもの ${failed} 枚`;
  }

  let busy = false;
  let startedAt = 0;
  worker.onmessage = (event) => {
    const message = event.data;
    switch (message.type) {
      case 'start':
        progress.max = Math.max(1, message.total);
        progress.value = 0;
        progress.hidden = message.total === 0;
        status.textContent = message.total === 0 ? 'カードが見つかりませんでした' : `${message.total} 件を読んでいます…`;
        break;
      case 'rows':
        table.add(message.rows);
        progress.value = message.done;
        showCounts();
        break;
      case 'end':
        busy = false;
        progress.hidden = true;
        if (table.counts().cards > 0) status.textContent = '';
        document.body.dataset.state = 'done';
        document.body.dataset.elapsed = String(Math.round(performance.now() - startedAt));
        document.body.dataset.timing = `${message.readMs} ms reading, ${message.rateMs} ms rating`;
        break;
      case 'side':
        table.replace(message.row);
        break;
      case 'error':
        busy = false;
        progress.hidden = true;
        status.textContent = `読み込めませんでした: ${message.message}`;
        document.body.dataset.state = 'done';
        break;
    }
  };

  MorvatFiles.attach(
    { area: $('drop'), files: $('pick-files'), folder: $('pick-folder'), zip: $('pick-zip') },
    (items) => {
      if (busy || items.length === 0) return;
      busy = true;
      startedAt = performance.now();
      document.body.dataset.state = 'busy';
      table.clear();
      report.hide();
      $('results').hidden = false;
      showCounts();
      worker.postMessage({ type: 'forget' });
      worker.postMessage({ type: 'rate', items });
    },
  );
})();
