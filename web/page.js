// robosim's page: the experiment's form, made from the simulator's own description of its
// settings (robosim_form), the canvas's keys and mouse handed to the window's functions, and
// the hooks the wasm module calls as it shows a frame. Loaded before robosim.js, which takes the
// Module object made here.
'use strict';

(function () {
    // what the page tells its tests and any script: the first frame, the frames shown since,
    // and the sample the canvas shows
    const robosim = { ready: null, frames: 0, sample: 0 };
    let readyResolve = null;
    let readyReject = null;
    robosim.ready = new Promise((resolve, reject) => {
        readyResolve = resolve;
        readyReject = reject;
    });
    window.robosim = robosim;

    const byId = (id) => document.getElementById(id);
    const canvas = byId('canvas');
    const form = byId('form');
    const selectorsBox = byId('selectors');
    const sectionsBox = byId('sections');
    const runButton = byId('run');
    const loadInput = byId('load');
    const saveButton = byId('save');
    const refusal = byId('refusal');
    const panel = byId('panel');

    // the module's calls, made once the runtime is up
    let api = null;

    //------------------------------------------------------------------ the module

    window.Module = {
        // called by the window each time a frame is put on the canvas
        onFrameShown() {
            robosim.frames += 1;
            robosim.sample = Module._robosim_window_sample();
            if (robosim.frames === 1) {
                performance.mark('robosim-first-frame');  // load to first frame, for the bench
                // after main has handed the session over to the page
                queueMicrotask(start);
            }
        },
        print(text) {
            appendToPanel(text + '\n');
        },
        printErr(text) {
            console.warn(text);
        },
        onAbort(what) {
            showRefusal('シミュレータを起動できませんでした (the simulator could not start): ' + what);
            readyReject(new Error(String(what)));
        },
    };

    function appendToPanel(text) {
        panel.append(text);
        panel.scrollTop = panel.scrollHeight;
    }

    // The exported functions, wrapped once. A function of the window may end with the unwind
    // of emscripten_exit_with_live_runtime (the program asked to end, which a page does not):
    // that is the call's end, not a fault.
    function makeApi() {
        const windowCall = (f) => (...args) => {
            try {
                return f(...args);
            } catch (e) {
                if (e !== 'unwind') {
                    throw e;
                }
                return undefined;
            }
        };
        return {
            form: Module.cwrap('robosim_form', 'string', []),
            apply: Module.cwrap('robosim_apply', 'string', ['string']),
            save: Module.cwrap('robosim_save', 'string', []),
            load(bytes, fileName) {
                const address = Module._malloc(Math.max(bytes.length, 1));
                try {
                    Module.HEAPU8.set(bytes, address);
                    return Module.ccall('robosim_load', 'string', ['number', 'number', 'string'],
                                        [address, bytes.length, fileName]);
                } finally {
                    Module._free(address);
                }
            },
            key: windowCall(Module._robosim_window_key),
            special: windowCall(Module._robosim_window_special),
            pointer: windowCall(Module._robosim_window_pointer),
        };
    }

    function start() {
        api = makeApi();
        buildForm(JSON.parse(api.form()));
        runButton.disabled = false;
        saveButton.disabled = false;
        canvas.focus({ preventScroll: true });
        readyResolve();
    }

    //------------------------------------------------------------------ the form

    // One labelled control per selector, then one fieldset per section of the console dialogs,
    // in their order. Typed values stay in the inputs until a run is accepted; then every value
    // is read back as the simulator holds it.
    function buildForm(description) {
        selectorsBox.replaceChildren();
        sectionsBox.replaceChildren();
        for (const selector of description.selectors) {
            const id = 'selector-' + selector.name;
            const label = document.createElement('label');
            label.htmlFor = id;
            label.append(titled('span', selector.title_ja, selector.title_en));
            const select = document.createElement('select');
            select.id = id;
            select.name = selector.name;
            for (const choice of selector.choices) {
                const option = document.createElement('option');
                option.value = choice.value;
                option.textContent = `${choice.value}: ${choice.ja} (${choice.en})`;
                select.append(option);
            }
            select.value = selector.value;
            select.addEventListener('change', showSections);
            selectorsBox.append(label, select);
        }
        for (const section of description.sections) {
            const fieldset = document.createElement('fieldset');
            fieldset.dataset.section = section.id;
            fieldset.dataset.key = section.key || '';
            fieldset.dataset.when = JSON.stringify(section.when || {});
            const legend = document.createElement('legend');
            legend.append(section.title_ja);
            const english = document.createElement('small');
            english.textContent = section.title_en;
            legend.append(english);
            const fields = document.createElement('div');
            fields.className = 'fields';
            for (const field of section.fields) {
                const id = 'field-' + field.name;
                const label = document.createElement('label');
                label.htmlFor = id;
                label.title = field.prompt;
                label.append(titled('span', field.label_ja, field.label_en));
                const input = document.createElement('input');
                input.type = 'text';
                input.id = id;
                input.name = field.name;
                input.value = field.value;
                input.inputMode = 'decimal';
                input.spellcheck = false;
                const unit = document.createElement('span');
                unit.className = 'unit';
                unit.textContent = field.unit;
                fields.append(label, input, unit);
            }
            fieldset.append(legend, fields);
            sectionsBox.append(fieldset);
        }
        showSections();
    }

    // a Japanese title with its English line under it
    function titled(tag, japanese, english) {
        const element = document.createElement(tag);
        const main = document.createElement('span');
        main.className = 'title-ja';
        main.textContent = japanese;
        const sub = document.createElement('small');
        sub.className = 'title-en';
        sub.textContent = english;
        element.append(main, sub);
        return element;
    }

    function selectorValue(name) {
        const select = form.querySelector(`select[name="${CSS.escape(name)}"]`);
        return select ? select.value : undefined;
    }

    // a section is shown while each selector its 'when' names has the value it asks for
    function sectionShown(fieldset) {
        const when = JSON.parse(fieldset.dataset.when);
        return Object.entries(when).every(([name, value]) => selectorValue(name) === value);
    }

    function showSections() {
        for (const fieldset of sectionsBox.children) {
            fieldset.hidden = !sectionShown(fieldset);
        }
    }

    function shownSections() {
        return [...sectionsBox.children].filter((fieldset) => !fieldset.hidden);
    }

    // every selector and every field of the shown sections, one name=value a line
    function formLines() {
        const lines = [];
        for (const select of selectorsBox.querySelectorAll('select')) {
            lines.push(`${select.name}=${select.value}`);
        }
        for (const fieldset of shownSections()) {
            for (const input of fieldset.querySelectorAll('input')) {
                lines.push(`${input.name}=${input.value.trim()}`);
            }
        }
        return lines.join('\n') + '\n';
    }

    function clearRefusal() {
        refusal.textContent = '';
        for (const element of form.querySelectorAll('.refused')) {
            element.classList.remove('refused');
        }
    }

    function showRefusal(message) {
        refusal.textContent = message.trim();
    }

    function run() {
        clearRefusal();
        const answer = api.apply(formLines());
        if (answer === '') {
            buildForm(JSON.parse(api.form()));
            canvas.focus({ preventScroll: true });
            return;
        }
        // the first refused value: its message, and the input marked; nothing was applied
        const tab = answer.indexOf('\t');
        const name = tab < 0 ? '' : answer.slice(0, tab);
        showRefusal(tab < 0 ? answer : answer.slice(tab + 1));
        const control = name && form.querySelector(`[name="${CSS.escape(name)}"]`);
        if (control) {
            control.classList.add('refused');
            control.focus();
            if (control.select) {
                control.select();
            }
        }
    }

    form.addEventListener('submit', (event) => {
        event.preventDefault();
        if (api) {
            run();
        }
    });

    async function loadFile(file) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        clearRefusal();
        const reason = api.load(bytes, file.name);
        if (reason === '') {
            buildForm(JSON.parse(api.form()));
            canvas.focus({ preventScroll: true });
        } else {
            showRefusal(`${file.name}: ${reason}`);
        }
    }

    loadInput.addEventListener('change', () => {
        const file = loadInput.files[0];
        loadInput.value = '';  // the same file may be read again after an edit
        if (file && api) {
            loadFile(file).catch((e) => showRefusal(`${file.name}: ${e.message}`));
        }
    });

    saveButton.addEventListener('click', () => {
        if (!api) {
            return;
        }
        const text = api.save();
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
        link.download = 'robot21.dat';
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 0);
    });

    //------------------------------------------------------------------ the canvas's keys

    // the keys the window takes by their character, as the desktop window does
    const WINDOW_KEYS = new Set(' stiwWghvVxzfRPU01234?');
    const KEY_BACKSPACE = 8;
    const KEY_DELETE = 127;
    const SPECIAL_F1 = 1;    // the window library's code of F1
    const SPECIAL_END = 107; // and of End

    // the keys that choose gravity and feedback and run anew, as the form's selectors do
    const SELECTOR_KEYS = new Set('ghvV');

    // the selectors as the run now shown has them, the typed fields left as they are
    function showSelectorsAsRun() {
        for (const selector of JSON.parse(api.form()).selectors) {
            const select = form.querySelector(`select[name="${CSS.escape(selector.name)}"]`);
            if (select) {
                select.value = selector.value;
            }
        }
        showSections();
    }

    // the first field of the first shown section that selector decides on
    function focusSectionOf(selectorName) {
        const fieldset = shownSections().find((f) => selectorName in JSON.parse(f.dataset.when));
        const target = fieldset ? fieldset.querySelector('input') : null;
        (target || form.querySelector(`select[name="${selectorName}"]`)).focus();
    }

    // the keys that open the console dialogs on the desktop choose in the form here
    function chooseInForm(selectorName, value) {
        const select = form.querySelector(`select[name="${selectorName}"]`);
        if (select && [...select.options].some((option) => option.value === value)) {
            select.value = value;
            showSections();
        }
        focusSectionOf(selectorName);
    }

    function focusSection(key) {
        const fieldset = shownSections().find((f) => f.dataset.key === key);
        const input = fieldset ? fieldset.querySelector('input') : null;
        if (input) {
            input.focus();
            input.select();
        }
    }

    const FORM_KEYS = {
        a: () => chooseInForm('robot_type', 'a'),
        b: () => chooseInForm('robot_type', 'b'),
        q: () => chooseInForm('motion', 'q'),
        p: () => chooseInForm('motion', 'p'),
        c: () => chooseInForm('motion', 'c'),
        l: () => focusSection('l'),
        m: () => focusSection('m'),
        u: () => focusSection('u'),
        k: () => focusSection('k'),
        r: () => loadInput.click(),
        o: () => saveButton.click(),
    };

    canvas.addEventListener('keydown', (event) => {
        if (!api || event.ctrlKey || event.altKey || event.metaKey) {
            return;
        }
        const key = event.key;
        if (key === 'Backspace') {
            api.key(KEY_BACKSPACE);
        } else if (key === 'Delete') {
            api.key(KEY_DELETE);
        } else if (key === 'End') {
            api.special(SPECIAL_END);
        } else if (key === 'F1') {
            api.special(SPECIAL_F1);
        } else if (key.length === 1 && WINDOW_KEYS.has(key)) {
            api.key(key.charCodeAt(0));
            if (SELECTOR_KEYS.has(key)) {
                showSelectorsAsRun();
            }
        } else if (key.length === 1 && Object.hasOwn(FORM_KEYS, key)) {
            FORM_KEYS[key]();
        } else {
            return;  // Escape among them: a page is closed by its tab
        }
        event.preventDefault();
    });

    //------------------------------------------------------------------ the canvas's mouse

    // the left button on the canvas, in the canvas's own pixels from its top left
    let buttonHeld = false;

    function sendPointer(kind, event) {
        const box = canvas.getBoundingClientRect();
        const x = Math.floor((event.clientX - box.left) * canvas.width / box.width);
        const y = Math.floor((event.clientY - box.top) * canvas.height / box.height);
        api.pointer(kind, x, y);
    }

    canvas.addEventListener('pointerdown', (event) => {
        if (!api || event.button !== 0) {
            return;
        }
        canvas.focus({ preventScroll: true });
        canvas.setPointerCapture(event.pointerId);
        buttonHeld = true;
        sendPointer(0, event);
        event.preventDefault();
    });

    canvas.addEventListener('pointermove', (event) => {
        if (buttonHeld) {
            sendPointer(1, event);
        }
    });

    const release = (event) => {
        if (buttonHeld) {
            buttonHeld = false;
            sendPointer(2, event);
        }
    };
    canvas.addEventListener('pointerup', release);
    canvas.addEventListener('pointercancel', release);
})();
