// The drop area and the three choosers: turns what the user gives (files, a folder, zips,
// or any of them dropped) into a list of {file, path, picked} for the worker. Files the user
// picked one by one are rated whatever their name; files found in a folder only when they
// are cards, which the worker asks the core.
'use strict';

window.MorvatFiles = (() => {
  function picked(fileList) {
    return Array.from(fileList, (file) => ({ file, path: file.name, picked: true }));
  }

  function fromFolder(fileList) {
    return Array.from(fileList, (file) => ({
      file,
      path: file.webkitRelativePath || file.name,
      picked: false,
    }));
  }

  function readEntries(reader) {
    return new Promise((resolve, reject) => reader.readEntries(resolve, reject));
  }

  function fileOf(entry) {
    return new Promise((resolve, reject) => entry.file(resolve, reject));
  }

  // A dropped folder, walked to its last file; a folder that cannot be read adds nothing.
  async function walk(entry, out, isPicked) {
    if (entry.isFile) {
      try {
        out.push({ file: await fileOf(entry), path: entry.fullPath.replace(/^\//, ''), picked: isPicked });
      } catch (error) {
        // Gone or unreadable since the drop: nothing to rate.
      }
      return;
    }
    const reader = entry.createReader();
    for (;;) {
      let batch;
      try {
        batch = await readEntries(reader);
      } catch (error) {
        return;
      }
      if (batch.length === 0) return;
      for (const child of batch) await walk(child, out, false);
    }
  }

  async function fromDrop(dataTransfer) {
    const entries = Array.from(dataTransfer.items || [])
      .filter((item) => item.kind === 'file')
      .map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
    if (entries.length === 0 || entries.some((e) => !e)) return picked(dataTransfer.files);
    const out = [];
    for (const entry of entries) await walk(entry, out, true);
    return out;
  }

  // Calls `onItems` with what the user chose or dropped.
  function attach({ area, files, folder, zip }, onItems) {
    const chosen = (input, convert) => {
      input.addEventListener('change', () => {
        if (input.files.length > 0) onItems(convert(input.files));
        input.value = '';
      });
    };
    chosen(files, picked);
    chosen(zip, picked);
    chosen(folder, fromFolder);
    area.addEventListener('dragover', (event) => {
      event.preventDefault();
      area.classList.add('over');
    });
    area.addEventListener('dragleave', () => area.classList.remove('over'));
    area.addEventListener('drop', async (event) => {
      event.preventDefault();
      area.classList.remove('over');
      onItems(await fromDrop(event.dataTransfer));
    });
    // A file dropped beside the area must not open in place of the page.
    window.addEventListener('dragover', (event) => event.preventDefault());
    window.addEventListener('drop', (event) => event.preventDefault());
  }

  return { attach };
})();
