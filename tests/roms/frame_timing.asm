; Measures the machine's frame from inside. With interrupts off, counted
; polling loops of 36 T-states a pass time 176 lines by the V counter and
; one frame by the status flag, and the V counter's values are recorded.
; Then a slide of NOPs (4 T-states each) runs from one frame interrupt to
; the next: each interrupt notes how far it got and starts it again. Last,
; the frame interrupt's handler notes the line and status it finds.
; Two overlapping sprites stand at the top left, for the coincidence test.
VCOUNT  equ 0x7E
DATA    equ 0xBE
CTRL    equ 0xBF
; Results in RAM:
LINES   equ 0xC000              ; word: passes from the V counter's 16 to its 192
FRAME   equ 0xC002              ; word: passes from one frame flag to the next
IRQV    equ 0xC004              ; the V counter the frame interrupt's handler reads
IRQST   equ 0xC005              ; the status it reads (frame flag, coincidence)
IRQN    equ 0xC006              ; its runs
DONE    equ 0xC00F              ; 0x5A once the slide has run four frames
SLIDEAT equ 0xC010              ; the address reached in the slide at four interrupts
SLIDEND equ 0xC018
VSEQ    equ 0xC100              ; the V counter at 300 changes, from line 0
VSEQLEN equ 300
SLIDEPT equ 0xC020              ; next free entry of SLIDEAT
VECTOR  equ 0xC080              ; JP to the current interrupt handler

        org 0
        di
        im 1
        ld sp, 0xF000
        jp start
        ds 0x38 - $, 0xC9
        jp VECTOR               ; 10

; The slide's handler, 125 T-states with the 10 + 10 of the two jumps.
slide_irq:
        in a, (CTRL)            ; 11 release the interrupt
        pop hl                  ; 10 the address reached in the slide
        ex de, hl               ; 4
        ld hl, (SLIDEPT)        ; 16
        ld (hl), e              ; 7
        inc hl                  ; 6
        ld (hl), d              ; 7
        inc hl                  ; 6
        ld (SLIDEPT), hl        ; 16
        ld a, l                 ; 4
        cp SLIDEND & 0xFF       ; 7
        jr z, slide_done        ; 7
        ei                      ; 4, with the jump that follows
        jp slide
slide_done:
        ld hl, handler
        ld (VECTOR + 1), hl
        ld a, 0x5A
        ld (DONE), a
        ei
        jp idle

handler:
        push af
        in a, (VCOUNT)
        ld (IRQV), a
        in a, (CTRL)
        ld (IRQST), a
        ld a, (IRQN)
        inc a
        ld (IRQN), a
        pop af
        ei
        reti

start:
        xor a                   ; VRAM from 0x0000: the sprites
        out (CTRL), a
        ld a, 0x40
        out (CTRL), a
        ld hl, sprites
        ld b, sprites_end - sprites
        ld c, DATA
        otir

        ; T-states per line: from the edge into line 16 to line 192.
line15: in a, (VCOUNT)
        cp 15
        jr nz, line15
line16: in a, (VCOUNT)
        cp 16
        jr nz, line16
        ld hl, 0
lcount: inc hl                  ; 6
        in a, (VCOUNT)          ; 11
        cp 192                  ; 7
        jr nz, lcount           ; 12
        ld (LINES), hl

        ; T-states per frame: from one frame flag to the next.
        in a, (CTRL)            ; drop a flag already up
fsync:  in a, (CTRL)
        and 0x80
        jr z, fsync
        ld hl, 0
fcount: inc hl                  ; 6
        in a, (CTRL)            ; 11
        and 0x80                ; 7
        jr z, fcount            ; 12
        ld (FRAME), hl

        ; The V counter's values, one per change, from the start of a frame.
vtop1:  in a, (VCOUNT)
        or a
        jr z, vtop1
vtop2:  in a, (VCOUNT)
        or a
        jr nz, vtop2
        ld hl, VSEQ
        ld (hl), a
        inc hl
        ld b, a
        ld de, VSEQLEN - 1
vnext:  in a, (VCOUNT)
        cp b
        jr z, vnext
        ld (hl), a
        inc hl
        ld b, a
        dec de
        ld a, d
        or e
        jr nz, vnext

        ; The slide, restarted at every frame interrupt.
        ld a, 0xC3
        ld (VECTOR), a
        ld hl, slide_irq
        ld (VECTOR + 1), hl
        ld hl, SLIDEAT
        ld (SLIDEPT), hl
        ld a, 0x60              ; display on, frame interrupt on
        out (CTRL), a
        ld a, 0x81
        out (CTRL), a
        in a, (CTRL)            ; start from a clear status
        ei
        jp slide

idle:   jr idle

sprites:                        ; attributes at 0x0000, patterns from 0x0000:
        db 0x10, 0x10, 2, 0x0F  ; sprites 0 and 1 two pixels apart,
        db 0x10, 0x12, 2, 0x0F
        db 0xD0
        ds 0x10 - ($ - sprites), 0
        ds 8, 0xFF              ; pattern 2 (0x0010) solid
sprites_end:

; More NOPs than the 50 Hz machine's frame runs (18,068).
        ds 0x0400 - $, 0xC9
slide:
        ds 19000, 0x00
        jr $
